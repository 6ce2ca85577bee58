// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// Twips and points turned into logical pixels at the window's zoom (1 is 96 dpi), whatever dpi the
// screen reports.
#pragma once

#include <QRect>
#include <algorithm>
#include <cmath>

namespace host {

inline constexpr int twipsPerPixel = 15;

[[nodiscard]] inline int twipsToPixels(int twips, double zoom = 1.0) {
    return static_cast<int>(std::lround(twips * zoom / twipsPerPixel));
}

[[nodiscard]] inline QRect twipsRect(int left, int top, int width, int height, double zoom = 1.0) {
    return {twipsToPixels(left, zoom), twipsToPixels(top, zoom), twipsToPixels(width, zoom),
            twipsToPixels(height, zoom)};
}

// A pen of `pixels` at zoom 1, never thinner than one pixel.
[[nodiscard]] inline int penPixels(int pixels, double zoom) {
    return std::max(1, static_cast<int>(std::lround(pixels * zoom)));
}

// Font sizes are fixed at 96 dpi so text fits its label on any screen. Zoomed, they stay half a
// pixel below the exact size: glyphs round to whole pixels, and a caption that just fits its label
// at 96 dpi would otherwise lose its last column.
[[nodiscard]] inline int pointsToPixels(double points, double zoom = 1.0) {
    const double design = points * 96.0 / 72.0;
    return std::max(static_cast<int>(std::lround(design)),
                    static_cast<int>(std::floor(design * zoom - 0.5)));
}

} // namespace host
