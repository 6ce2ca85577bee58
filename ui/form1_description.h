// The description of the program's only window, Form1: every control as it is when the window
// opens.
#pragma once

#include "ui/control_spec.h"

namespace ui {

namespace fonts {
inline constexpr host::FontSpec title{"MS Sans Serif", 24, 700, host::Charset::Cyrillic};
inline constexpr host::FontSpec digit{"MS Sans Serif", 13.5, 700, host::Charset::Cyrillic};
inline constexpr host::FontSpec value{"MS Sans Serif", 9.75, 700, host::Charset::Cyrillic};
inline constexpr host::FontSpec heading{"MS Sans Serif", 8.25, 700, host::Charset::Cyrillic};
inline constexpr host::FontSpec lambda{"Symbol", 9.75, 700, host::Charset::Symbol};
inline constexpr host::FontSpec standard{"MS Sans Serif", 8.25, 400, host::Charset::Cyrillic};
} // namespace fonts

[[nodiscard]] const FormSpec& form1Description();

// The row of a control by name, or nullptr.
[[nodiscard]] const ControlSpec* findControl(const FormSpec& form, const char* name);

} // namespace ui
