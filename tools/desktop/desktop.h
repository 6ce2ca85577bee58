// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// A private, headless desktop of any known type, for programs started in it: their screenshots,
// their windows resized through its window manager and, on request, an accessibility bus.
#pragma once

#include "desktops.h"
#include "servers.h"

#include <QImage>
#include <QProcess>
#include <QSet>
#include <QSize>
#include <functional>
#include <memory>

namespace desktop {

// How a program is started in a desktop.
struct Launch {
    QProcessEnvironment extra; // added to the desktop's environment
    QStringList unset;         // the desktop's variables it does not get
    QProcess::ProcessChannelMode channels = QProcess::ForwardedErrorChannel;
    QProcess::InputChannelMode input = QProcess::ManagedInputChannel;
    QString workingDirectory; // the desktop's scratch directory when empty
};

class Desktop {
public:
    explicit Desktop(const DesktopType& type, QSize screen = {1024, 768});
    ~Desktop();
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;
    Desktop(Desktop&&) = delete;
    Desktop& operator=(Desktop&&) = delete;

    // How long each of its programs may take to come up, and what makes the start give up early.
    void setPatience(int timeoutMs, std::function<bool()> givenUp = {});

    // Starts the display server (and window manager); empty when all is well, else what failed,
    // with the last lines of the log of a server that did not come up.
    [[nodiscard]] QString start();
    // A session bus (the desktop's own where it has one) with the accessibility bus on it.
    [[nodiscard]] QString startAccessibilityBus();
    // Ends every program of the desktop, last started first, and removes what a server that
    // died left of its X display. Ending it again does no harm.
    void stop();

    // Starts a program in this desktop, seeing only this desktop's session; it dies with the
    // process that started it, whatever happens.
    [[nodiscard]] std::unique_ptr<QProcess>
    launch(const QString& program, const QStringList& args = {}, const Launch& how = {}) const;
    ToolResult run(const QString& program, const QStringList& args, int timeoutMs = 10000) const {
        return m_servers.run(program, args, timeoutMs);
    }

    [[nodiscard]] const DesktopType& type() const { return m_type; }
    // The display a program started here connects to: an X display, or a Wayland socket's name.
    [[nodiscard]] QString displayName() const;
    [[nodiscard]] bool waylandAlone() const { return m_type.session == Session::WaylandAlone; }
    [[nodiscard]] bool showsScreen() const { return m_type.showsScreen(); }
    // Whether every program of the desktop still runs.
    [[nodiscard]] bool running() const { return m_servers.running(); }
    // The processes of the desktop that the caller started, as their parent.
    [[nodiscard]] QList<qint64> processIds() const { return m_servers.processIds(); }

    // Kills the display server (Xvfb or the compositor) outright, as a crash would.
    void killDisplayServer();
    // Stops the display server for a while (SIGSTOP), then lets it go on.
    void freezeDisplayServer(int ms) const;
    // Kills the accessibility bus (its launcher and the bus it started), as a crash would, and
    // starts it again on the same session bus.
    void killAccessibilityBus();
    void restartAccessibilityBus();

    // The whole screen as the display server shows it; on mutter's XWayland, which shows no
    // screen, the X window of the program `pid`, as that server holds it. Null where the desktop
    // shows its screen to nobody.
    [[nodiscard]] QImage screenshot(qint64 pid = 0) const;

    // Asks the window manager to give the window of the program `pid` a client area of `size`,
    // un-maximised or floating; false where this desktop lets nobody but its user do that.
    [[nodiscard]] bool resizeWindow(qint64 pid, QSize size) const;

private:
    const DesktopType& m_type;
    QSize m_screen;
    Servers m_servers;
    QString m_busLauncher;
    QSet<int> m_xDisplays; // the X displays its servers made
};

} // namespace desktop
