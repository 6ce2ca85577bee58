// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "host/screen/circle_raster.h"

#include <cmath>

namespace host {

namespace {

class Plotter {
public:
    Plotter(QImage& image, QRgb colour)
        : m_bits(reinterpret_cast<QRgb*>(image.bits())),
          m_stride(static_cast<int>(image.bytesPerLine() / sizeof(QRgb))), m_width(image.width()),
          m_height(image.height()), m_colour(colour | 0xFF000000u) {}

    void plot(int x, int y) {
        if (x < 0 || y < 0 || x >= m_width || y >= m_height) {
            return;
        }
        QRgb& pixel = m_bits[static_cast<std::ptrdiff_t>(y) * m_stride + x];
        if (pixel == m_colour) {
            return;
        }
        pixel = m_colour;
        m_left = std::min(m_left, x);
        m_right = std::max(m_right, x);
        m_top = std::min(m_top, y);
        m_bottom = std::max(m_bottom, y);
    }

    [[nodiscard]] QRect changed() const {
        return m_left > m_right ? QRect() : QRect(QPoint(m_left, m_top), QPoint(m_right, m_bottom));
    }

private:
    QRgb* m_bits;
    int m_stride;
    int m_width;
    int m_height;
    QRgb m_colour;
    int m_left = INT_MAX;
    int m_right = INT_MIN;
    int m_top = INT_MAX;
    int m_bottom = INT_MIN;
};

} // namespace

QRect drawCircleOutline(QImage& image, QPointF centre, double radius, QRgb colour) {
    Plotter plotter(image, colour);
    const double cx = centre.x();
    const double cy = centre.y();
    const double r = std::abs(radius);
    if (r < 0.5) {
        plotter.plot(static_cast<int>(std::floor(cx)), static_cast<int>(std::floor(cy)));
        return plotter.changed();
    }
    // Where the circle crosses the centre line of each pixel column, then of each pixel row:
    // together they leave no gap, steep or flat.
    const int firstColumn = static_cast<int>(std::ceil(cx - r - 0.5));
    const int lastColumn = static_cast<int>(std::floor(cx + r - 0.5));
    for (int x = firstColumn; x <= lastColumn; ++x) {
        const double dx = x + 0.5 - cx;
        const double dy = std::sqrt(std::max(0.0, r * r - dx * dx));
        plotter.plot(x, static_cast<int>(std::floor(cy - dy)));
        plotter.plot(x, static_cast<int>(std::floor(cy + dy)));
    }
    const int firstRow = static_cast<int>(std::ceil(cy - r - 0.5));
    const int lastRow = static_cast<int>(std::floor(cy + r - 0.5));
    for (int y = firstRow; y <= lastRow; ++y) {
        const double dy = y + 0.5 - cy;
        const double dx = std::sqrt(std::max(0.0, r * r - dy * dy));
        plotter.plot(static_cast<int>(std::floor(cx - dx)), y);
        plotter.plot(static_cast<int>(std::floor(cx + dx)), y);
    }
    return plotter.changed();
}

} // namespace host
