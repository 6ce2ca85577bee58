// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// The colours of the design, by the names the window's description uses.
#pragma once

#include "host/screen/bgr.h"

namespace ui::colours {
inline constexpr host::Bgr black{0x000000};
inline constexpr host::Bgr white{0xFFFFFF};
inline constexpr host::Bgr red{0x0000FF};
inline constexpr host::Bgr green{0x00FF00};
inline constexpr host::Bgr blue{0xFF0000};
inline constexpr host::Bgr cyan{0xFFFF00};
inline constexpr host::Bgr magenta{0xFF00FF};
inline constexpr host::Bgr windowBlue{0xD1A98D};
inline constexpr host::Bgr panelYellow{0xA8F9FB};
} // namespace ui::colours
