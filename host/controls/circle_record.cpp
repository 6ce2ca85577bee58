// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "host/controls/circle_record.h"

#include "host/screen/units.h"

#include <bit>
#include <functional>

namespace host {

QPointF UserScale::toPixels(double x, double y, QSizeF area) const {
    if (!scaled) {
        return {x / twipsPerPixel, y / twipsPerPixel};
    }
    return {(x - left) * area.width() / width, (y - top) * area.height() / height};
}

double UserScale::pixelsPerUnitX(QSizeF area) const {
    return scaled ? area.width() / width : 1.0 / twipsPerPixel;
}

std::size_t CircleRecord::PlaceHash::operator()(const Place& place) const {
    const std::hash<std::uint32_t> hash;
    return hash(place.x) ^ (hash(place.y) * 31) ^ (hash(place.radius) * 961);
}

CircleRecord::Place CircleRecord::placeOf(const RecordedCircle& circle) {
    return {std::bit_cast<std::uint32_t>(circle.x), std::bit_cast<std::uint32_t>(circle.y),
            std::bit_cast<std::uint32_t>(circle.radius), circle.scale};
}

void CircleRecord::add(const RecordedCircle& circle) {
    const Place place = placeOf(circle);
    // The ring erased where it was just drawn: the last entry, changed in place.
    if (!m_entries.empty() && placeOf(m_entries.back().circle) == place) {
        m_entries.back().circle.colour = circle.colour;
        return;
    }
    const auto [latest, fresh] = m_latest.try_emplace(place, m_entries.size());
    if (fresh) {
        ++m_live;
    } else {
        m_entries[latest->second].live = false;
        latest->second = m_entries.size();
    }
    m_entries.push_back({circle, true});
    // Entries let go are dropped once they outnumber the kept ones: a constant cost a circle.
    if (m_entries.size() > 2 * m_live + 64) {
        compact();
    }
}

void CircleRecord::compact() {
    std::size_t kept = 0;
    for (const Entry& entry : m_entries) {
        if (entry.live) {
            m_latest[placeOf(entry.circle)] = kept;
            m_entries[kept++] = entry;
        }
    }
    m_entries.resize(kept);
}

} // namespace host
