// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// The electron's wait at a step: a delay count rounded to a 32-bit count of idle passes.
#pragma once

#include <cstdint>

namespace animation {

// Rounds to nearest, halves to even; a value outside the 32-bit signed range (or NaN) raises
// the overflow error.
[[nodiscard]] std::int32_t roundToInt32(float value);

} // namespace animation
