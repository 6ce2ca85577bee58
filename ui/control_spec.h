// The shape of the window description: one row per control, in twips, front to back.
#pragma once

#include "host/alignment.h"
#include "host/colour.h"
#include "host/fonts.h"

#include <span>

namespace ui {

enum class Kind { Timer, PictureBox, Frame, Label, OptionButton, Line, Shape, Image };

struct ControlSpec {
    const char* name = "";
    Kind kind = Kind::Label;
    // The control it sits in; the window itself when empty.
    const char* container = "";
    // Position and size in twips, from the corner of the container's inner area.
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    const char* caption = "";
    host::FontSpec font{};
    host::Bgr fore = host::colours::black;
    host::Bgr back = host::colours::white;
    host::Alignment alignment = host::Alignment::Left;
    // Lines: the two end points in twips and the width in pixels.
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;
    int borderWidth = 1;
    // Option buttons: selected at opening. Timers: enabled at opening.
    bool value = false;
    int intervalMs = 0;
    // Images: the resource path of the bitmap.
    const char* picture = "";
};

// What a screen reader says for a control, or for the window when `control` is its name.
struct AccessibleText {
    const char* control;
    const char* name;
    const char* description = "";
};

// One figure as a screen reader says it: `pattern`, with each {Name} replaced by what the label
// of that name shows, is the accessible name of `control`.
struct Phrase {
    const char* control;
    const char* pattern;
};

// One stop of a screen reader's walk through the window: a control read by its own name, or a
// panel read as a named grouping of phrases.
struct ReadingStop {
    const char* control;
    std::span<const Phrase> phrases = {};
};

struct FormSpec {
    const char* name;
    const char* caption;
    host::Bgr background;
    host::FontSpec font;
    // Inner size when the window is restored, in twips.
    int restoredWidth;
    int restoredHeight;
    const char* icon;
    // Within each container, listed front to back.
    std::span<const ControlSpec> controls;
    // The order the Tab key moves the focus in.
    std::span<const char* const> tabOrder;
    // Names for screen readers where a control shows no text of its own.
    std::span<const AccessibleText> accessibility = {};
    // The window as a screen reader walks it: top to bottom, left to right.
    std::span<const ReadingStop> readingOrder = {};
};

} // namespace ui
