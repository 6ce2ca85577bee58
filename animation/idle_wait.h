// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// The electron's wait: a delay count rounded to a 32-bit pass count, and the counted busy loop.
#pragma once

#include <cstdint>

namespace animation {

// Rounds to nearest, halves to even; a value outside the 32-bit signed range (or NaN) raises
// the overflow error.
[[nodiscard]] std::int32_t roundToInt32(float value);

// Runs `passes` empty passes of a counter whose every increment is tested for overflow, and
// returns how many it ran. No pass for zero or a negative count. The optimiser can neither
// remove nor shorten it: the pace of the animation is this loop.
std::int32_t idlePasses(std::int32_t passes);

} // namespace animation
