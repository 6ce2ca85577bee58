// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// How long the electron's idle passes last, and the clock its waits are slept on.
#pragma once

#include <chrono>
#include <functional>
#include <thread>

namespace animation {

using WaitClock = std::chrono::steady_clock;

// One idle pass, on every computer alike: a level-1 revolution (360 steps of 300000 passes)
// lasts 0.54 s, level 6 2.7 s. Counted processor loops gave 15 to 27 revolutions a second on
// today's processors, a blur nobody can follow, and a pace that changed with the computer.
inline constexpr std::chrono::nanoseconds passLength{5};

struct Pace {
    std::chrono::nanoseconds pass = passLength;
    // The monotonic clock: a change of the wall clock must not stop the electron.
    std::function<WaitClock::time_point()> now = [] { return WaitClock::now(); };
    // Gives the processor back until then.
    std::function<void(WaitClock::time_point)> sleepUntil = [](WaitClock::time_point until) {
        std::this_thread::sleep_until(until);
    };
};

} // namespace animation
