// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "desktops.h"

#include "kwin.h"
#include "mutter.h"
#include "sway.h"
#include "weston.h"
#include "x_windows.h"
#include "xvfb.h"

#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace desktop {

namespace {

QProcessEnvironment environment(const QString& name, const QString& value) {
    QProcessEnvironment env;
    env.insert(name, value);
    return env;
}

const Xvfb openboxOnXvfb{{u"openbox"_s, {u"--sm-disable"_s}, {}, false}};
// xfwm4 reads its settings through xfconf, on the session bus; without one it gives up.
const Xvfb xfwm4OnXvfb{{u"xfwm4"_s, {u"--compositor=off"_s, u"--sm-client-disable"_s}, {}, true}};
// KWin is a Qt program too: on X11 it must not look for a compositor.
const Xvfb kwinOnXvfb{{u"kwin_x11"_s, {}, environment(u"QT_QPA_PLATFORM"_s, u"xcb"_s), false}};
const Weston westonFamily;
const Mutter mutterFamily;
const Kwin kwinFamily;
const Sway swayFamily;

const Need needXvfb{u"Xvfb"_s, u"xvfb"_s};
const Need needXwayland{u"Xwayland"_s, u"xwayland"_s};
const Need needBus{u"dbus-daemon"_s, u"dbus"_s};
const Need needXdotool{u"xdotool"_s, u"xdotool"_s};
const Need needWmctrl{u"wmctrl"_s, u"wmctrl"_s};
// The X screen read by xwd, turned into PNG by ImageMagick's convert.
const QList<Need> needXwd{{u"xwd"_s, u"x11-apps"_s}, {u"convert"_s, u"imagemagick"_s}};
// On X the window manager is asked through wmctrl and xdotool.
const QList<Need> needXTools = QList<Need>{needWmctrl, needXdotool} + needXwd;
const Need needWeston{u"weston"_s, u"weston"_s};
// weston-debug tells when the shell's panel is up; the screenshooter takes pictures.
const QList<Need> needWestonTools{{u"weston-debug"_s, u"weston"_s},
                                  {u"weston-screenshooter"_s, u"weston"_s}};
const Need needKwin{u"kwin_wayland"_s, u"kwin-wayland"_s};
const Need needMutter{u"mutter"_s, u"mutter"_s};
const Need needSway{u"sway"_s, u"sway"_s};
// swaymsg resizes, grim takes pictures, setpriv runs sway as nobody when the caller is root.
const QList<Need> needSwayTools{
    {u"swaymsg"_s, u"sway"_s}, {u"grim"_s, u"grim"_s}, {u"setpriv"_s, u"util-linux"_s}};

using S = Session;
using X = XWindows;

// A row each, the default first: name, title, session, family (how it starts), how it takes a
// picture and resizes a window, whether it draws title bars, and what it runs.
const std::array<DesktopType, 11> desktops{{
    {u"openbox"_s, u"openbox on X11"_s, S::X11, openboxOnXvfb, &X::screen, &X::resize, true,
     QList<Need>{needXvfb, {u"openbox"_s, u"openbox"_s}} + needXTools},
    {u"xfce"_s, u"Xfce's xfwm4 on X11"_s, S::X11, xfwm4OnXvfb, &X::screen, &X::resize, true,
     QList<Need>{needXvfb, {u"xfwm4"_s, u"xfwm4"_s}, needBus} + needXTools},
    {u"kde-x11"_s, u"KDE's KWin on X11"_s, S::X11, kwinOnXvfb, &X::screen, &X::resize, true,
     QList<Need>{needXvfb, {u"kwin_x11"_s, u"kwin-x11"_s}} + needXTools},
    // Its XWayland has no screen of its own to read, only its windows.
    {u"gnome-xwayland"_s, u"GNOME's mutter with XWayland"_s, S::XWayland, mutterFamily, &X::window,
     &X::resize, true, QList<Need>{needMutter, needXwayland, needBus, needXdotool} + needXwd},
    {u"kde-xwayland"_s, u"KDE's KWin with XWayland"_s, S::XWayland, kwinFamily, &Kwin::screenshot,
     &X::resize, true, QList<Need>{needKwin, needXwayland, needBus, needXdotool, needWmctrl}},
    {u"sway-xwayland"_s, u"sway with XWayland"_s, S::XWayland, swayFamily, &Sway::screenshot,
     &Sway::resize, true,
     QList<Need>{needSway, needXwayland} + needSwayTools +
         QList<Need>{{u"xhost"_s, u"x11-xserver-utils"_s}}},
    {u"weston-xwayland"_s, u"weston with XWayland"_s, S::XWayland, westonFamily,
     &Weston::screenshot, nullptr, true, QList<Need>{needWeston, needXwayland} + needWestonTools},
    {u"weston"_s, u"weston, Wayland alone"_s, S::WaylandAlone, westonFamily, &Weston::screenshot,
     nullptr, false, QList<Need>{needWeston} + needWestonTools},
    {u"kde-wayland"_s, u"KDE's KWin, Wayland alone"_s, S::WaylandAlone, kwinFamily,
     &Kwin::screenshot, nullptr, true, QList<Need>{needKwin, needBus}},
    {u"sway"_s, u"sway, Wayland alone"_s, S::WaylandAlone, swayFamily, &Sway::screenshot,
     &Sway::resize, true, QList<Need>{needSway} + needSwayTools},
    // Shows its screen to nobody but through PipeWire.
    {u"gnome-wayland"_s, u"GNOME's mutter, Wayland alone"_s, S::WaylandAlone, mutterFamily, nullptr,
     nullptr, false, QList<Need>{needMutter, needBus}},
}};

} // namespace

QStringList DesktopType::programs() const {
    QStringList programs;
    for (const Need& need : needs) {
        programs << need.program;
    }
    return programs;
}

QStringList DesktopType::packages() const {
    QStringList packages;
    for (const Need& need : needs) {
        if (!packages.contains(need.package)) {
            packages << need.package;
        }
    }
    return packages;
}

std::span<const DesktopType> knownDesktops() {
    return desktops;
}

const DesktopType* desktopNamed(const QString& name) {
    const auto* found = std::ranges::find(desktops, name, &DesktopType::name);
    return found == desktops.end() ? nullptr : found;
}

QStringList missingPrograms(const DesktopType& type) {
    QStringList missing;
    for (const QString& program : type.programs()) {
        if (QStandardPaths::findExecutable(program).isEmpty() &&
            !QFileInfo(program).isExecutable()) {
            missing << program;
        }
    }
    return missing;
}

QString sessionName(Session session) {
    static const std::array names{u"x11"_s, u"xwayland"_s, u"wayland"_s};
    return names.at(static_cast<std::size_t>(session));
}

} // namespace desktop
