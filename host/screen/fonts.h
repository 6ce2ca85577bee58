// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// Fonts as the window describes them (points, weight, character set) made into Qt fonts.
#pragma once

#include <QFont>
#include <QString>

namespace host {

enum class Charset { Cyrillic = 204, Symbol = 2 };

struct FontSpec {
    double points = 8.25;
    int weight = 400;
    Charset charset = Charset::Cyrillic;
};

// "MS Sans Serif" and "Symbol" are drawn with Liberation Sans at a pixel size fixed for 96 dpi,
// times the window's zoom.
[[nodiscard]] QFont toQFont(const FontSpec& wanted, double zoom = 1.0);

// What a caption looks like in the symbol character set: Latin letters become Greek ("l" → "λ").
[[nodiscard]] QString symbolText(const QString& text);

} // namespace host
