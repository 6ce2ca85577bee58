// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "host/platform/precise_sleep.h"

#include <thread>

namespace host {

// Linux's timers wake within tens of microseconds.
void sleepUntil(std::chrono::steady_clock::time_point until) {
    std::this_thread::sleep_until(until);
}

} // namespace host
