// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "desktops.h"

#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace desktop {

namespace {

// On X the window manager is asked through wmctrl and xdotool, the screen read by xwd and turned
// into PNG by ImageMagick's convert.
const QStringList xTools{u"wmctrl"_s, u"xdotool"_s, u"xwd"_s, u"convert"_s};

const std::array<DesktopType, 11> desktops{{
    {Kind::XvfbOpenbox, u"openbox"_s, u"openbox on X11"_s, Session::X11,
     QStringList{u"Xvfb"_s, u"openbox"_s} + xTools},
    {Kind::XvfbXfwm4, u"xfce"_s, u"Xfce's xfwm4 on X11"_s, Session::X11,
     QStringList{u"Xvfb"_s, u"xfwm4"_s, u"dbus-daemon"_s} + xTools},
    {Kind::XvfbKwin, u"kde-x11"_s, u"KDE's KWin on X11"_s, Session::X11,
     QStringList{u"Xvfb"_s, u"kwin_x11"_s} + xTools},
    {Kind::MutterXwayland,
     u"gnome-xwayland"_s,
     u"GNOME's mutter with XWayland"_s,
     Session::XWayland,
     {u"mutter"_s, u"Xwayland"_s, u"dbus-daemon"_s, u"xdotool"_s, u"xwd"_s, u"convert"_s}},
    {Kind::KwinXwayland,
     u"kde-xwayland"_s,
     u"KDE's KWin with XWayland"_s,
     Session::XWayland,
     {u"kwin_wayland"_s, u"Xwayland"_s, u"dbus-daemon"_s, u"xdotool"_s, u"wmctrl"_s}},
    {Kind::SwayXwayland,
     u"sway-xwayland"_s,
     u"sway with XWayland"_s,
     Session::XWayland,
     {u"sway"_s, u"Xwayland"_s, u"swaymsg"_s, u"grim"_s, u"setpriv"_s, u"xhost"_s}},
    {Kind::WestonXwayland,
     u"weston-xwayland"_s,
     u"weston with XWayland"_s,
     Session::XWayland,
     {u"weston"_s, u"Xwayland"_s, u"weston-screenshooter"_s}},
    {Kind::Weston,
     u"weston"_s,
     u"weston, Wayland alone"_s,
     Session::WaylandAlone,
     {u"weston"_s, u"weston-screenshooter"_s}},
    {Kind::Kwin,
     u"kde-wayland"_s,
     u"KDE's KWin, Wayland alone"_s,
     Session::WaylandAlone,
     {u"kwin_wayland"_s, u"dbus-daemon"_s}},
    {Kind::Sway,
     u"sway"_s,
     u"sway, Wayland alone"_s,
     Session::WaylandAlone,
     {u"sway"_s, u"swaymsg"_s, u"grim"_s, u"setpriv"_s}},
    {Kind::Mutter,
     u"gnome-wayland"_s,
     u"GNOME's mutter, Wayland alone"_s,
     Session::WaylandAlone,
     {u"mutter"_s, u"dbus-daemon"_s}},
}};

} // namespace

std::span<const DesktopType> knownDesktops() {
    return desktops;
}

const DesktopType* desktopNamed(const QString& name) {
    const auto* found = std::ranges::find(desktops, name, &DesktopType::name);
    return found == desktops.end() ? nullptr : found;
}

const DesktopType& desktopOf(Kind kind) {
    return *std::ranges::find(desktops, kind, &DesktopType::kind);
}

QStringList missingPrograms(const DesktopType& type) {
    QStringList missing;
    for (const QString& program : type.programs) {
        if (QStandardPaths::findExecutable(program).isEmpty() &&
            !QFileInfo(program).isExecutable()) {
            missing << program;
        }
    }
    return missing;
}

} // namespace desktop
