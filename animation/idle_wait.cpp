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

} // namespace animation
