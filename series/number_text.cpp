// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "series/number_text.h"

namespace series {

QString integerText(std::int16_t value) {
    return QString::number(value);
}

QString decimalText(double value, const QLocale& locale) {
    QLocale plain = locale;
    // Qt groups digits by default, with a no-break space in Russian.
    plain.setNumberOptions(plain.numberOptions() | QLocale::OmitGroupSeparator);
    return plain.toString(value, 'f', QLocale::FloatingPointShortest);
}

} // namespace series
