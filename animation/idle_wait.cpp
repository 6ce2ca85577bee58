// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "animation/idle_wait.h"

#include "host/dispatch/runtime_error.h"

#include <cmath>

namespace animation {

std::int32_t roundToInt32(float value) {
    const float rounded = std::nearbyint(value);
    // 2^31 is exact in single precision; NaN fails both comparisons.
    constexpr float lowest = -2147483648.0F;
    constexpr float pastHighest = 2147483648.0F;
    if (!(rounded >= lowest && rounded < pastHighest)) {
        throw host::RuntimeError(host::ErrorCode::Overflow);
    }
    return static_cast<std::int32_t>(rounded);
}

// On a cache-line boundary: a loop that straddles a 32-byte boundary takes two cycles a pass on
// common x86 processors, so where the linker happened to put it would set the electron's pace.
[[gnu::aligned(64)]] std::int32_t idlePasses(std::int32_t passes) {
    std::int32_t counter = 0;
    while (counter < passes) {
        // Hides the counter from the optimiser, so every pass and its overflow test really run.
        asm volatile("" : "+r"(counter));
        if (__builtin_add_overflow(counter, 1, &counter)) {
            throw host::RuntimeError(host::ErrorCode::Overflow);
        }
    }
    return counter;
}

} // namespace animation
