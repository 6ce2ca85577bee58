// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// Form1's window-level fields: the three the series handlers write and the electron animation
// reads at every step.
#pragma once

#include <cstdint>

namespace ui {

struct AnimationState {
    // Radius of the circle the electron's centre moves on, in user units of the atom picture.
    std::int16_t pathRadius = 0;
    // Radius of the orbit redrawn before every position of the electron.
    std::int16_t orbitRadius = 0;
    // Idle passes after the electron is drawn at each position.
    float delayCount = 0;
};

} // namespace ui
