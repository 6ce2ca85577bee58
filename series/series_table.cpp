// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "series/series_table.h"

#include "ui/palette.h"

namespace series {

namespace {

namespace c = ui::colours;

// Wavelengths by Rydberg's formula λ = 1 / (R (1/n² − 1/m²)), with Bohr's R, to the nanometre.
constexpr std::array<SeriesColumn, levelCount> table{{
    {
        .radius = 4,
        .delayCount = 300000,
        .wavelengths = {121, 102, 97, 95},
        .rotationRadius = 5.28,
        .speed = 2.18,
        .energy = -13.55,
        .levelEnergies = {-0.54, -0.85, -1.51, -3.39, -13.55},
        .levelNumbers = {5, 4, 3, 2, 1},
        .lineColours = {c::blue, c::blue, c::blue, c::blue},
        .transitions = {"1  -  2 =", "1  -  3 =", "1  -  4 =", "1  -  5 ="},
    },
    {
        .radius = 6,
        .delayCount = 500000,
        .wavelengths = {656, 486, 434, 410},
        .rotationRadius = 21.12,
        .speed = 1.09,
        .energy = -3.39,
        .levelEnergies = {-0.38, -0.54, -0.85, -1.51, -3.39},
        .levelNumbers = {6, 5, 4, 3, 2},
        .lineColours = {c::red, c::green, c::cyan, c::blue},
        .transitions = {"2  -  3 =", "2  -  4 =", "2  -  5 =", "2  -  6 ="},
    },
    {
        .radius = 8,
        .delayCount = 800000,
        .wavelengths = {1874, 1281, 1093, 1004},
        .rotationRadius = 47.52,
        .speed = 0.73,
        .energy = -1.51,
        .levelEnergies = {-0.28, -0.38, -0.54, -0.85, -1.51},
        .levelNumbers = {7, 6, 5, 4, 3},
        .lineColours = {c::magenta, c::magenta, c::magenta, c::magenta},
        .transitions = {"3  -  4 =", "3  -  5 =", "3  -  6 =", "3  -  7 ="},
    },
    {
        .radius = 10,
        .delayCount = 1000000,
        .wavelengths = {4049, 2624, 2165, 1944},
        .rotationRadius = 84.48,
        .speed = 0.55,
        .energy = -0.85,
        .levelEnergies = {-0.21, -0.28, -0.38, -0.54, -0.85},
        .levelNumbers = {8, 7, 6, 5, 4},
        .lineColours = {c::magenta, c::magenta, c::magenta, c::magenta},
        .transitions = {"4  -  5 =", "4  -  6 =", "4  -  7 =", "4  -  8 ="},
    },
    {
        .radius = 12,
        .delayCount = 1300000,
        .wavelengths = {7455, 4650, 3738, 3295},
        .rotationRadius = 132,
        .speed = 0.44,
        .energy = -0.54,
        .levelEnergies = {-0.17, -0.21, -0.28, -0.38, -0.54},
        .levelNumbers = {9, 8, 7, 6, 5},
        .lineColours = {c::magenta, c::magenta, c::magenta, c::magenta},
        .transitions = {"5  -  6 =", "5  -  7 =", "5  -  8 =", "5  -  9 ="},
    },
    {
        .radius = 14,
        .delayCount = 1500000,
        .wavelengths = {12363, 7497, 5904, 5125},
        .rotationRadius = 190.08,
        .speed = 0.36,
        .energy = -0.38,
        .levelEnergies = {-0.14, -0.17, -0.21, -0.28, -0.38},
        .levelNumbers = {10, 9, 8, 7, 6},
        .lineColours = {c::magenta, c::magenta, c::magenta, c::magenta},
        .transitions = {"6  -  7 =", "6  -  8 =", "6  -  9 =", "6  -  10 ="},
    },
}};

} // namespace

const std::array<SeriesColumn, levelCount>& seriesTable() {
    return table;
}

} // namespace series
