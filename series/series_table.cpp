#include "series/series_table.h"

namespace series {

namespace {

namespace c = host::colours;

// Measured wavelengths, not a formula: no formula gives all of them (6 → 9 is 5404).
constexpr std::array<SeriesColumn, levelCount> table{{
    {4,
     300000,
     {121, 102, 97, 95},
     5.28,
     2.18,
     -13.55,
     {-0.54, -0.85, -1.51, -3.39, -13.55},
     {5, 4, 3, 2, 1},
     {c::blue, c::blue, c::blue, c::blue},
     {"1  -  2 =", "1  -  3 =", "1  -  4 =", "1  -  5 ="}},
    {6,
     500000,
     {656, 486, 434, 410},
     21.12,
     1.09,
     -3.39,
     {-0.38, -0.54, -0.85, -1.51, -3.39},
     {6, 5, 4, 3, 2},
     {c::red, c::green, c::cyan, c::blue},
     {"2  -  3 =", "2  -  4 =", "2  -  5 =", "2  -  6 ="}},
    {8,
     800000,
     {1874, 1281, 1093, 1004},
     47.52,
     0.73,
     -1.51,
     {-0.28, -0.38, -0.54, -0.85, -1.51},
     {7, 6, 5, 4, 3},
     {c::magenta, c::magenta, c::magenta, c::magenta},
     {"3  -  4 =", "3  -  5 =", "3  -  6 =", "3  -  7 ="}},
    {10,
     1000000,
     {4049, 2624, 2165, 1944},
     84.48,
     0.55,
     -0.85,
     {-0.21, -0.28, -0.38, -0.54, -0.85},
     {8, 7, 6, 5, 4},
     {c::magenta, c::magenta, c::magenta, c::magenta},
     {"4  -  5 =", "4  -  6 =", "4  -  7 =", "4  -  8 ="}},
    {12,
     1300000,
     {7455, 4650, 3738, 3295},
     132,
     0.44,
     -0.54,
     {-0.17, -0.21, -0.28, -0.38, -0.54},
     {9, 8, 7, 6, 5},
     {c::magenta, c::magenta, c::magenta, c::magenta},
     {"5  -  6 =", "5  -  7 =", "5  -  8 =", "5  -  9 ="}},
    {14,
     1500000,
     {12363, 7497, 5404, 5125},
     190.08,
     0.36,
     -0.38,
     {-0.14, -0.17, -0.21, -0.28, -0.38},
     {10, 9, 8, 7, 6},
     {c::magenta, c::magenta, c::magenta, c::magenta},
     {"6  -  7 =", "6  -  8 =", "6  -  9 =", "6  -  10 ="}},
}};

} // namespace

const std::array<SeriesColumn, levelCount>& seriesTable() {
    return table;
}

} // namespace series
