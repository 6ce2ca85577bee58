// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "series/number_text.h"

#include <QLocale>

namespace series {

QString integerText(std::int16_t value) {
    return QString::number(value);
}

QString decimalText(double value) {
    // The window is Russian whatever the user's locale, its design captions written so.
    QLocale plain(QLocale::Russian, QLocale::Russia);
    // Qt groups digits by default, with a no-break space in Russian.
    plain.setNumberOptions(plain.numberOptions() | QLocale::OmitGroupSeparator);
    return plain.toString(value, 'f', QLocale::FloatingPointShortest);
}

} // namespace series
