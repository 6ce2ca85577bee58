// Twips and points turned into 96-dpi logical pixels, whatever dpi the screen reports.
#pragma once

#include <QPoint>
#include <QRect>
#include <cmath>

namespace host {

inline constexpr int twipsPerPixel = 15;

[[nodiscard]] inline int twipsToPixels(int twips) {
    return static_cast<int>(std::lround(static_cast<double>(twips) / twipsPerPixel));
}

[[nodiscard]] inline QRect twipsRect(int left, int top, int width, int height) {
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

// Font sizes are fixed at 96 dpi so text fits its label on any screen.
[[nodiscard]] inline int pointsToPixels(double points) {
    return static_cast<int>(std::lround(points * 96.0 / 72.0));
}

} // namespace host
