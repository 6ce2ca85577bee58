// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// The description of the program's only window, Form1: every control as it is when the window
// opens.
#pragma once

#include "host/form/control_spec.h"

namespace ui {

namespace fonts {
inline constexpr host::FontSpec title{24, 700, host::Charset::Cyrillic};
inline constexpr host::FontSpec digit{13.5, 700, host::Charset::Cyrillic};
inline constexpr host::FontSpec value{9.75, 700, host::Charset::Cyrillic};
inline constexpr host::FontSpec heading{8.25, 700, host::Charset::Cyrillic};
inline constexpr host::FontSpec lambda{9.75, 700, host::Charset::Symbol};
inline constexpr host::FontSpec standard{8.25, 400, host::Charset::Cyrillic};
} // namespace fonts

[[nodiscard]] const host::FormSpec& form1Description();

} // namespace ui
