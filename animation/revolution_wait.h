// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// The waits of one revolution, each step's deadline counted on from the one before.
#pragma once

#include "animation/pace.h"

#include <chrono>
#include <cstdint>

namespace animation {

// A deadline counted from the last deadline, not from the end of the step's drawing: the time
// the circles take and the sleep's late wake-ups never add up over the 360 steps, and a
// revolution lasts its nominal time.
class RevolutionWait {
public:
    // Further behind than this (a display server stopped, a computer suspended), the pace starts
    // afresh: the electron does not race round to make up what nobody saw.
    static constexpr std::chrono::milliseconds longestCatchUp{100};

    // The revolution starts now.
    explicit RevolutionWait(const Pace& pace);

    // Sleeps until `passes` idle passes after the last deadline. No pass for zero or fewer.
    void wait(std::int32_t passes);

private:
    const Pace& m_pace;
    WaitClock::time_point m_deadline;
};

} // namespace animation
