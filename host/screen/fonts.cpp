// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "host/screen/fonts.h"

#include "host/screen/units.h"

namespace host {

QFont toQFont(const FontSpec& wanted, double zoom) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(pointsToPixels(wanted.points, zoom));
    font.setWeight(wanted.weight >= 700 ? QFont::Bold : QFont::Normal);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QString symbolText(const QString& text) {
    // The Greek letters on the Latin keys of the symbol character set.
    static const char16_t lower[] = u"αβχδεφγηιϕκλμνοπθρστυϖωξψζ";
    static const char16_t upper[] = u"ΑΒΧΔΕΦΓΗΙϑΚΛΜΝΟΠΘΡΣΤΥςΩΞΨΖ";
    QString shown = text;
    for (QChar& c : shown) {
        const char16_t u = c.unicode();
        if (u >= u'a' && u <= u'z') {
            c = QChar(lower[u - u'a']);
        } else if (u >= u'A' && u <= u'Z') {
            c = QChar(upper[u - u'A']);
        }
    }
    return shown;
}

} // namespace host
