// The series table: every figure the window shows for each lower level, held as data.
#pragma once

#include "host/colour.h"

#include <array>
#include <cstdint>

namespace series {

struct SeriesColumn {
    // Both radii of the Animation state: the orbit of the lower level.
    std::int16_t radius;
    float delayCount;
    // Lines from level n+1 … n+4 down to n, in nanometres (Label27, Label28, Label29, Label7).
    std::array<std::int16_t, 4> wavelengths;
    double orbitRadiusNm; // Label12
    double speed;         // Label16, Mm/s
    double energy;        // Label17, eV
    // Levels n+4 … n, top of the diagram first (Label30 … Label34).
    std::array<double, 5> levelEnergies;
    // Level numbers n+4 … n (Label35, Label36, Label37, Label38, Label40).
    std::array<std::int16_t, 5> levelNumbers;
    // Transition marks Line3 … Line6.
    std::array<host::Bgr, 4> lineColours;
    // Captions Label41 … Label44.
    std::array<const char*, 4> transitions;
};

inline constexpr int levelCount = 6;

// Column n − 1 holds lower level n.
[[nodiscard]] const std::array<SeriesColumn, levelCount>& seriesTable();

} // namespace series
