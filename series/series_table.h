// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// The series table: every figure the window shows for each lower level, held as data.
#pragma once

#include "host/screen/bgr.h"

#include <array>
#include <cstdint>

namespace series {

// One column, for lower level n; the fields showing each figure are named in ui/series_fields.h.
struct SeriesColumn {
    // Both radii of the Animation state: the orbit of the lower level.
    std::int16_t radius;
    float delayCount;
    // Lines from level n+1 … n+4 down to n, in nanometres.
    std::array<std::int16_t, 4> wavelengths;
    double rotationRadius; // 10⁻¹¹ m
    double speed;          // Mm/s
    double energy;         // eV
    // Levels n+4 … n, top of the diagram first, eV.
    std::array<double, 5> levelEnergies;
    std::array<std::int16_t, 5> levelNumbers;
    // The transition marks n+1 → n … n+4 → n.
    std::array<host::Bgr, 4> lineColours;
    std::array<const char*, 4> transitions;
};

inline constexpr int levelCount = 6;

// Column n − 1 holds lower level n.
[[nodiscard]] const std::array<SeriesColumn, levelCount>& seriesTable();

} // namespace series
