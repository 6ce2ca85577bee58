// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// The format of a window description: one row per control, in twips, front to back, and the
// builders that make its rows.
#pragma once

#include "host/accessibility/reading_stop.h"
#include "host/controls/alignment.h"
#include "host/screen/bgr.h"
#include "host/screen/fonts.h"

#include <span>

namespace host {

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
    FontSpec font{};
    Bgr fore = defaultForeColor;
    Bgr back = defaultBackColor;
    Alignment alignment = Alignment::Left;
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

struct FormSpec {
    const char* name;
    const char* caption;
    Bgr background;
    FontSpec font;
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

// Builders for the rows of a description, one a kind, with the fields that kind uses.
namespace rows {

constexpr ControlSpec control(const char* name, Kind kind, const char* in, int l, int t, int w,
                              int h, Bgr back) {
    ControlSpec row;
    row.name = name;
    row.kind = kind;
    row.container = in;
    row.left = l;
    row.top = t;
    row.width = w;
    row.height = h;
    row.back = back;
    return row;
}

constexpr ControlSpec label(const char* name, const char* in, int l, int t, int w, int h,
                            const char* caption, const FontSpec& font, Bgr fore, Bgr back,
                            Alignment alignment = Alignment::Left) {
    ControlSpec row = control(name, Kind::Label, in, l, t, w, h, back);
    row.caption = caption;
    row.font = font;
    row.fore = fore;
    row.alignment = alignment;
    return row;
}

constexpr ControlSpec line(const char* name, const char* in, int x1, int y1, int x2, int y2,
                           int widthPixels, Bgr colour) {
    ControlSpec row;
    row.name = name;
    row.kind = Kind::Line;
    row.container = in;
    row.x1 = x1;
    row.y1 = y1;
    row.x2 = x2;
    row.y2 = y2;
    row.borderWidth = widthPixels;
    row.fore = colour;
    return row;
}

constexpr ControlSpec option(const char* name, const char* in, int l, int t, int w, int h, Bgr back,
                             bool selected) {
    ControlSpec row = control(name, Kind::OptionButton, in, l, t, w, h, back);
    row.value = selected;
    return row;
}

constexpr ControlSpec timer(const char* name, bool enabled, int intervalMs) {
    ControlSpec row;
    row.name = name;
    row.kind = Kind::Timer;
    row.value = enabled;
    row.intervalMs = intervalMs;
    return row;
}

constexpr ControlSpec shape(const char* name, const char* in, int l, int t, int w, int h, Bgr fill,
                            Bgr outline) {
    ControlSpec row = control(name, Kind::Shape, in, l, t, w, h, fill);
    row.fore = outline;
    return row;
}

constexpr ControlSpec image(const char* name, const char* in, int l, int t, int w, int h,
                            const char* picture) {
    ControlSpec row = control(name, Kind::Image, in, l, t, w, h, defaultBackColor);
    row.picture = picture;
    return row;
}

} // namespace rows

} // namespace host
