// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "animation/timer1_timer.h"

#include "animation/idle_wait.h"
#include "animation/orbit_path.h"
#include "animation/revolution_wait.h"
#include "host/controls/picture_box.h"
#include "host/dispatch/runtime_error.h"
#include "ui/palette.h"

namespace animation {

void Timer1_Timer(host::PictureBox& picture3, const ui::AnimationState& state, const Pace& pace) {
    RevolutionWait waits(pace);
    std::int16_t step = 1;
    do {
        // The orbit is redrawn first: the last erase left two white points on it.
        picture3.Circle(0, 0, static_cast<float>(state.orbitRadius));

        const PathPoint drawn = electronCentre(state.pathRadius, step);
        picture3.Circle(drawn.x, drawn.y, electronRadius, ui::colours::blue);

        waits.wait(roundToInt32(state.delayCount));

        const PathPoint erased = electronCentre(state.pathRadius, step);
        picture3.Circle(erased.x, erased.y, electronRadius, ui::colours::white);

        if (__builtin_add_overflow(step, std::int16_t{1}, &step)) {
            throw host::RuntimeError(host::ErrorCode::Overflow);
        }
    } while (step <= stepsPerRevolution);
}

} // namespace animation
