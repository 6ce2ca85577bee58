// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// Numbers as the labels show them: integers plainly, decimals with a comma, never grouped.
#pragma once

#include <QString>
#include <cstdint>

namespace series {

// Digits only: 12363, never "12 363".
[[nodiscard]] QString integerText(std::int16_t value);

// The shortest text that reads back as the value, in the Russian form whatever the user's locale:
// a decimal comma, no grouping, no exponent, no trailing zeros and no separator for whole values:
// 132, 0,73, -13,55.
[[nodiscard]] QString decimalText(double value);

} // namespace series
