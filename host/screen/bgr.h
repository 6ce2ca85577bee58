// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// Colours as the controls take them (0xBBGGRR) and the one place they become Qt colours.
#pragma once

#include <QColor>
#include <cstdint>

namespace host {

// A 24-bit colour in blue-green-red byte order: 0xFF0000 is blue, 0x0000FF red.
struct Bgr {
    std::uint32_t value = 0;

    friend constexpr bool operator==(Bgr, Bgr) = default;
};

// What a control is drawn in until it is told otherwise.
inline constexpr Bgr defaultForeColor{0x000000};
inline constexpr Bgr defaultBackColor{0xFFFFFF};

[[nodiscard]] constexpr int redOf(Bgr c) {
    return static_cast<int>(c.value & 0xFFu);
}
[[nodiscard]] constexpr int greenOf(Bgr c) {
    return static_cast<int>((c.value >> 8) & 0xFFu);
}
[[nodiscard]] constexpr int blueOf(Bgr c) {
    return static_cast<int>((c.value >> 16) & 0xFFu);
}

[[nodiscard]] inline QColor toQColor(Bgr c) {
    return {redOf(c), greenOf(c), blueOf(c)};
}

} // namespace host
