// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// An X display's screen and windows as the X tools reach them: xwd for pictures, wmctrl and
// xdotool for sizes. Every desktop with an X server uses some of them.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace desktop {

class Servers;

class XWindows {
public:
    // The X server's whole screen.
    [[nodiscard]] static QImage screen(const Servers& servers, QSize screen, qint64 pid);
    // The X window of the program `pid` alone, as the server holds it: for an XWayland that
    // has no screen of its own to read (mutter's).
    [[nodiscard]] static QImage window(const Servers& servers, QSize screen, qint64 pid);
    // Through the window manager, once the window is no longer maximised.
    [[nodiscard]] static bool resize(const Servers& servers, qint64 pid, QSize size);

private:
    [[nodiscard]] static QString windowOf(const Servers& servers, qint64 pid);
    [[nodiscard]] static QImage xwd(const Servers& servers, const QStringList& which);
};

} // namespace desktop
