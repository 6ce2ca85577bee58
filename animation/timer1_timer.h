// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// The timer tick: one whole revolution of the electron round the orbit of the Animation state.
#pragma once

#include "animation/pace.h"
#include "ui/animation_state.h"

namespace host {
class PictureBox;
}

namespace animation {

// Draws, waits and erases 360 times, reading the Animation state afresh at every step; each wait
// lasts the step's idle passes at `pace`.
void Timer1_Timer(host::PictureBox& picture3, const ui::AnimationState& state, const Pace& pace);

} // namespace animation
