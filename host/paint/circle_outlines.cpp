// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "host/paint/circle_outlines.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace host {

namespace {

// The pixels of the outline, some twice, whether or not they lie in the image.
std::vector<QPoint> outlinePixels(QPointF centre, double radius) {
    std::vector<QPoint> pixels;
    const double cx = centre.x();
    const double cy = centre.y();
    const double r = std::abs(radius);
    const auto floorOf = [](double v) { return static_cast<int>(std::floor(v)); };
    if (r < 0.5) {
        pixels.emplace_back(floorOf(cx), floorOf(cy));
        return pixels;
    }
    // Where the circle crosses the centre line of each pixel column, then of each pixel row:
    // together they leave no gap, steep or flat.
    const int firstColumn = static_cast<int>(std::ceil(cx - r - 0.5));
    const int lastColumn = floorOf(cx + r - 0.5);
    for (int x = firstColumn; x <= lastColumn; ++x) {
        const double dx = x + 0.5 - cx;
        const double dy = std::sqrt(std::max(0.0, r * r - dx * dx));
        pixels.emplace_back(x, floorOf(cy - dy));
        pixels.emplace_back(x, floorOf(cy + dy));
    }
    const int firstRow = static_cast<int>(std::ceil(cy - r - 0.5));
    const int lastRow = floorOf(cy + r - 0.5);
    for (int y = firstRow; y <= lastRow; ++y) {
        const double dy = y + 0.5 - cy;
        const double dx = std::sqrt(std::max(0.0, r * r - dy * dy));
        pixels.emplace_back(floorOf(cx - dx), y);
        pixels.emplace_back(floorOf(cx + dx), y);
    }
    return pixels;
}

// Each pixel of the outline that lies in the image, once, as its offset in the image's pixels.
std::vector<std::int32_t> offsetsIn(const QImage& image, const std::vector<QPoint>& pixels) {
    const auto stride = static_cast<std::int32_t>(image.bytesPerLine() / sizeof(QRgb));
    std::vector<std::int32_t> offsets;
    offsets.reserve(pixels.size());
    for (const QPoint p : pixels) {
        if (p.x() >= 0 && p.y() >= 0 && p.x() < image.width() && p.y() < image.height()) {
            offsets.push_back(p.y() * stride + p.x());
        }
    }
    std::sort(offsets.begin(), offsets.end());
    offsets.erase(std::unique(offsets.begin(), offsets.end()), offsets.end());
    return offsets;
}

QRect plot(QImage& image, const std::vector<std::int32_t>& offsets, QRgb colour) {
    auto* bits = reinterpret_cast<QRgb*>(image.bits());
    const auto stride = static_cast<std::int32_t>(image.bytesPerLine() / sizeof(QRgb));
    const QRgb opaque = colour | 0xFF000000u;
    // Offsets are sorted, so the first and last changed give the top and bottom rows.
    std::int32_t first = -1;
    std::int32_t last = -1;
    int left = INT_MAX;
    int right = INT_MIN;
    for (const std::int32_t offset : offsets) {
        QRgb& pixel = bits[offset];
        if (pixel == opaque) {
            continue;
        }
        pixel = opaque;
        if (first < 0) {
            first = offset;
        }
        last = offset;
        const int x = offset % stride;
        left = std::min(left, x);
        right = std::max(right, x);
    }
    return first < 0 ? QRect() : QRect(QPoint(left, first / stride), QPoint(right, last / stride));
}

} // namespace

std::size_t CircleOutlines::KeyHash::operator()(const Key& key) const {
    const std::hash<double> hash;
    return hash(key.x) ^ (hash(key.y) * 31) ^ (hash(key.radius) * 961);
}

QRect CircleOutlines::draw(QImage& image, QPointF centre, double radius, QRgb colour) {
    if (image.size() != m_imageSize || image.bytesPerLine() != m_stride ||
        m_offsets.size() >= kept) {
        m_offsets.clear();
        m_lastTwo = {};
        m_imageSize = image.size();
        m_stride = image.bytesPerLine();
    }
    const Key key{centre.x(), centre.y(), radius};
    // Most circles are one of the last two: an animation alternates a background and a mover.
    for (const auto& [lastKey, lastOffsets] : m_lastTwo) {
        if (lastOffsets != nullptr && lastKey == key) {
            return plot(image, *lastOffsets, colour);
        }
    }
    auto found = m_offsets.find(key);
    if (found == m_offsets.end()) {
        found = m_offsets.emplace(key, offsetsIn(image, outlinePixels(centre, radius))).first;
    }
    m_lastTwo[1] = m_lastTwo[0];
    m_lastTwo[0] = {key, &found->second};
    return plot(image, found->second, colour);
}

} // namespace host
