// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// The desktops a private, headless session can be started on, by the names people use for them.
#pragma once

#include <QString>
#include <QStringList>
#include <span>

namespace desktop {

enum class Kind {
    XvfbOpenbox,
    XvfbXfwm4,
    XvfbKwin,
    MutterXwayland,
    KwinXwayland,
    SwayXwayland,
    WestonXwayland,
    Weston,
    Kwin,
    Sway,
    Mutter,
};

// What a program started on the desktop connects to.
enum class Session {
    X11,          // an X server with a window manager
    XWayland,     // a Wayland compositor that also serves X
    WaylandAlone, // a Wayland compositor, no X server
};

struct DesktopType {
    Kind kind;
    QString name;  // as `desktop-run --desktop` takes it
    QString title; // as a person says it
    Session session;
    QStringList programs; // everything it runs, its screenshots and its window handling included
    // Only mutter without XWayland shows its screen to nobody (but through PipeWire).
    [[nodiscard]] bool showsScreen() const { return kind != Kind::Mutter; }
};

// Every desktop known, the default (openbox on X11) first.
[[nodiscard]] std::span<const DesktopType> knownDesktops();
// The desktop of that name, or null.
[[nodiscard]] const DesktopType* desktopNamed(const QString& name);
[[nodiscard]] const DesktopType& desktopOf(Kind kind);
// The programs of `type` that are not installed here.
[[nodiscard]] QStringList missingPrograms(const DesktopType& type);

} // namespace desktop
