// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// The circles drawn on a picture, in order, so that the picture can be drawn anew at another size.
#pragma once

#include <QPointF>
#include <QRgb>
#include <QSizeF>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace host {

// A picture's user coordinates: (left, top) at the upper-left corner of its drawing area, spanning
// width by height units; twips until it is given any.
struct UserScale {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    bool scaled = false;
    bool operator==(const UserScale&) const = default;

    // A point in these coordinates, in pixels of a drawing area of `area` pixels.
    [[nodiscard]] QPointF toPixels(double x, double y, QSizeF area) const;
    // How many pixels one unit across is, in such an area.
    [[nodiscard]] double pixelsPerUnitX(QSizeF area) const;
};

struct RecordedCircle {
    float x = 0;
    float y = 0;
    float radius = 0;
    UserScale scale;
    QRgb colour = 0;
};

// A circle drawn again where an earlier one was sets exactly the earlier one's pixels, so only its
// latest drawing is kept, at the end: the record never holds more entries than different circles
// were drawn, however long an animation goes on drawing the same circles over and over.
class CircleRecord {
public:
    void add(const RecordedCircle& circle);

    // Calls `draw` with each kept circle, oldest first.
    template <class Draw> void replay(Draw&& draw) const {
        for (const Entry& entry : m_entries) {
            if (entry.live) {
                draw(entry.circle);
            }
        }
    }

    // How many circles a replay draws.
    [[nodiscard]] std::size_t size() const {
        return static_cast<std::size_t>(std::count_if(m_entries.begin(), m_entries.end(),
                                                      [](const Entry& e) { return e.live; }));
    }

private:
    // The same place: the very same numbers, compared bit for bit.
    struct Place {
        std::uint32_t x;
        std::uint32_t y;
        std::uint32_t radius;
        UserScale scale;
        bool operator==(const Place&) const = default;
    };
    struct PlaceHash {
        std::size_t operator()(const Place& place) const;
    };
    struct Entry {
        RecordedCircle circle;
        bool live;
    };
    [[nodiscard]] static Place placeOf(const RecordedCircle& circle);
    void compact();

    std::vector<Entry> m_entries;
    std::unordered_map<Place, std::size_t, PlaceHash> m_latest;
    std::size_t m_live = 0;
};

} // namespace host
