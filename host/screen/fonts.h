// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// Fonts as the window describes them (points, weight, character set) made into Qt fonts.
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

namespace host {

enum class Charset { Cyrillic = 204, Symbol = 2 };

struct FontSpec {
    double points = 8.25;
    int weight = 400;
    Charset charset = Charset::Cyrillic;
};

// The faces a caption is drawn with, the first the system has: "MS Sans Serif" as designed where
// it is there (Windows) and the zoom is the design's, else a face of Arial's widths.
[[nodiscard]] QStringList fontFamilies(Charset charset, double zoom);

// "MS Sans Serif" and "Symbol" at a pixel size fixed for 96 dpi, times the window's zoom, in the
// faces above.
[[nodiscard]] QFont toQFont(const FontSpec& wanted, double zoom = 1.0);

// What a caption looks like in the symbol character set: Latin letters become Greek ("l" → "λ").
[[nodiscard]] QString symbolText(const QString& text);

} // namespace host
