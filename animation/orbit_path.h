// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// Where the electron stands at each step of a revolution, in the atom picture's user units.
#pragma once

#include <cmath>
#include <cstdint>

namespace animation {

inline constexpr std::int16_t stepsPerRevolution = 360;
// 6.28, not 2π: a revolution stops just short of the top.
inline constexpr double anglePerStep = 6.28 / 360;
inline constexpr float electronRadius = 0.3F;

struct PathPoint {
    float x;
    float y;
};

// x takes the sine and y the cosine: the path starts at the top and runs clockwise (y is up).
[[nodiscard]] inline PathPoint electronCentre(std::int16_t pathRadius, std::int16_t step) {
    const double angle = anglePerStep * step;
    const double s = std::sin(angle);
    const double c = std::cos(angle);
    return {static_cast<float>(pathRadius * s), static_cast<float>(pathRadius * c)};
}

} // namespace animation
