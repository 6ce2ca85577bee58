// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// The desktops a private, headless session can be started on: one row each, by the names people
// use for them, with what each runs and how it shows its screen and resizes a window.
#pragma once

#include <QImage>
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>
#include <span>

namespace desktop {

class Family;
class Servers;

// What a program started on the desktop connects to.
enum class Session {
    X11,          // an X server with a window manager
    XWayland,     // a Wayland compositor that also serves X
    WaylandAlone, // a Wayland compositor, no X server
};

// A program the desktop runs, and the Debian package it comes in.
struct Need {
    QString program;
    QString package;
};

// A picture of the screen (or, where the desktop has none to read, the window of the program
// `pid`); null where none was taken.
using Shoot = QImage (*)(const Servers& servers, QSize screen, qint64 pid);
// Gives the window of the program `pid` a client area of `size`, un-maximised or floating.
using Resize = bool (*)(const Servers& servers, qint64 pid, QSize size);

struct DesktopType {
    QString name;  // as `desktop-run --desktop` takes it
    QString title; // as a person says it
    Session session;
    const Family& family; // how it starts
    Shoot shoot;          // none where it shows its screen to nobody (but through PipeWire)
    Resize resize;        // none where it lets nobody but its user resize a window
    // Whether the compositor draws the title bars of Wayland programs' windows itself; an X
    // window manager always draws them.
    bool decorates;
    QList<Need> needs; // everything it runs, its screenshots and its window handling included

    [[nodiscard]] bool showsScreen() const { return shoot != nullptr; }
    [[nodiscard]] QStringList programs() const;
    // Each package once, in the order of the programs.
    [[nodiscard]] QStringList packages() const;
};

// Every desktop known, the default (openbox on X11) first.
[[nodiscard]] std::span<const DesktopType> knownDesktops();
// The desktop of that name, or null.
[[nodiscard]] const DesktopType* desktopNamed(const QString& name);
// The programs of `type` that are not installed here.
[[nodiscard]] QStringList missingPrograms(const DesktopType& type);
// "x11", "xwayland" or "wayland", as `desktop-run --list --tsv` prints it.
[[nodiscard]] QString sessionName(Session session);

} // namespace desktop
