// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// Numbers as the labels show them: integers plainly, decimals in the user's locale, never grouped.
#pragma once

#include <QLocale>
#include <QString>
#include <cstdint>

namespace series {

// Digits only: 12363, never "12 363".
[[nodiscard]] QString integerText(std::int16_t value);

// The shortest text that reads back as the value, with the locale's decimal separator, no
// grouping, no exponent, no trailing zeros and no separator for whole values: 132, 0,73, -13,55.
[[nodiscard]] QString decimalText(double value, const QLocale& locale = QLocale());

} // namespace series
