// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// A sleep until a moment of the monotonic clock, as close to it as the system can wake.
#pragma once

#include <chrono>

namespace host {

// Gives the processor back until `until`: a wait that spun would keep a core busy all the time
// the window is open, costing a laptop its battery and every other program its turn. Wakes
// within a fraction of a millisecond where the system can, so no wait is longer than asked.
void sleepUntil(std::chrono::steady_clock::time_point until);

} // namespace host
