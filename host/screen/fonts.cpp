// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "host/screen/fonts.h"

#include "host/screen/units.h"

namespace host {

QStringList fontFamilies([[maybe_unused]] Charset charset, [[maybe_unused]] double zoom) {
#ifdef Q_OS_WIN
    // Liberation Sans has Arial's widths, which every Windows has: text measures the same in
    // either, so what fits its label on Linux fits on Windows.
    QStringList families{QStringLiteral("Liberation Sans"), QStringLiteral("Arial")};
    // Windows's "MS Sans Serif" is a bitmap face drawn only at its own sizes: the designed one at
    // the design's scale, too small or too large at any other. The symbol set's captions are
    // shown as Unicode Greek, which every face above has.
    if (charset == Charset::Cyrillic && zoom == 1.0) {
        families.prepend(QStringLiteral("MS Sans Serif"));
    }
    return families;
#else
    // Linux has neither designed face; the packages bring Liberation Sans.
    return {QStringLiteral("Liberation Sans")};
#endif
}

QFont toQFont(const FontSpec& wanted, double zoom) {
    QFont font;
    font.setFamilies(fontFamilies(wanted.charset, zoom));
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
