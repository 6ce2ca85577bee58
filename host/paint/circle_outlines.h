// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// Draws a one-pixel circle outline straight into an image, and says which pixels it changed.
#pragma once

#include <QImage>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <array>
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

namespace host {

// Each outline is worked out once and kept: an animation draws and erases the same few circles
// over and over, at the same places.
class CircleOutlines {
public:
    // The outline of the circle (centre and radius in the image's device pixels), without
    // antialiasing: the same call always sets the same pixels, so a circle drawn again in the
    // background colour erases it exactly. Returns the bounding box of the pixels whose colour
    // changed (empty when none did). The image must be Format_RGB32.
    QRect draw(QImage& image, QPointF centre, double radius, QRgb colour);

    // Enough for a few thousand different circles at once; beyond it the outlines are worked out
    // anew.
    static constexpr std::size_t kept = 4096;

private:
    struct Key {
        double x;
        double y;
        double radius;
        // Exactly the same numbers: QPointF's own == is fuzzy.
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& key) const;
    };
    // Where the outline's pixels lie in an image of this size and stride, each once.
    QSize m_imageSize;
    qsizetype m_stride = 0;
    std::unordered_map<Key, std::vector<std::int32_t>, KeyHash> m_offsets;
    // Stable while the map holds them: unordered_map never moves its values.
    std::array<std::pair<Key, const std::vector<std::int32_t>*>, 2> m_lastTwo{};
};

} // namespace host
