// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// Colours as the program speaks of them (0xBBGGRR) and the one place they become Qt colours.
#pragma once

#include <QColor>
#include <cstdint>

namespace host {

// A 24-bit colour in blue-green-red byte order: 0xFF0000 is blue, 0x0000FF red.
struct Bgr {
    std::uint32_t value = 0;

    friend constexpr bool operator==(Bgr, Bgr) = default;
};

namespace colours {
inline constexpr Bgr black{0x000000};
inline constexpr Bgr white{0xFFFFFF};
inline constexpr Bgr red{0x0000FF};
inline constexpr Bgr green{0x00FF00};
inline constexpr Bgr blue{0xFF0000};
inline constexpr Bgr cyan{0xFFFF00};
inline constexpr Bgr magenta{0xFF00FF};
inline constexpr Bgr windowBlue{0xD1A98D};
inline constexpr Bgr panelYellow{0xA8F9FB};
} // namespace colours

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
