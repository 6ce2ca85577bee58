// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// A private, headless desktop of any known type, for programs started in it: their screenshots,
// their windows resized through its window manager and, on request, an accessibility bus.
#pragma once

#include "desktops.h"

#include <QImage>
#include <QProcess>
#include <QSet>
#include <QSize>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <vector>

namespace desktop {

struct ToolResult {
    int exitCode = -1;
    QString out;
    QString err;
};

// How a program is started in a desktop.
struct Launch {
    QProcessEnvironment extra; // added to the desktop's environment
    QStringList unset;         // the desktop's variables it does not get
    QProcess::ProcessChannelMode channels = QProcess::ForwardedErrorChannel;
    QProcess::InputChannelMode input = QProcess::ManagedInputChannel;
    QString workingDirectory; // the desktop's scratch directory when empty
};

// Polls until `done` holds or `timeoutMs` passes.
bool waitUntil(const std::function<bool()>& done, int timeoutMs, int pollMs = 100);

class Desktop {
public:
    explicit Desktop(Kind kind, QSize screen = {1024, 768});
    ~Desktop();
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

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
    ToolResult run(const QString& program, const QStringList& args, int timeoutMs = 10000) const;

    [[nodiscard]] const DesktopType& type() const { return desktopOf(m_kind); }
    // The display a program started here connects to: an X display, or a Wayland socket's name.
    [[nodiscard]] QString displayName() const;
    [[nodiscard]] bool waylandAlone() const { return type().session == Session::WaylandAlone; }
    [[nodiscard]] bool showsScreen() const { return type().showsScreen(); }
    // Whether every program of the desktop still runs.
    [[nodiscard]] bool running() const;
    // The processes of the desktop that the caller started, as their parent.
    [[nodiscard]] QList<qint64> processIds() const;

    // Kills the display server (Xvfb or the compositor) outright, as a crash would.
    void killDisplayServer();
    // Stops the display server for a while (SIGSTOP), then lets it go on.
    void freezeDisplayServer(int ms) const;
    // Kills the accessibility bus (its launcher and the bus it started), as a crash would, and
    // starts it again on the same session bus.
    void killAccessibilityBus();
    void restartAccessibilityBus();

    // The whole screen as the display server shows it; on mutter's XWayland, which shows no
    // screen, the X window of the program `pid`, as that server holds it.
    [[nodiscard]] QImage screenshot(qint64 pid = 0) const;

    // Asks the window manager to give the window of the program `pid` a client area of `size`,
    // un-maximised or floating; false where this desktop lets nobody but its user do that.
    [[nodiscard]] bool resizeWindow(qint64 pid, QSize size) const;

private:
    struct Server {
        std::unique_ptr<QProcess> process;
        QString log;
    };

    QString startServers();
    QString startXvfb();
    QString startWeston();
    QString startMutter();
    QString startKwin();
    QString startSway();
    QString startSessionBus();
    // Starts one of the desktop's programs, its output to a log of its own; `readOutput` keeps
    // its standard output to be read instead.
    QProcess& startServer(const QString& program, const QStringList& args, const QString& name,
                          const QProcessEnvironment& extra = {}, bool readOutput = false);
    // Waits for a compositor that runs the ready script once it is ready, and takes the display
    // it gives that script.
    QString awaitReady(const Server& compositor, const QString& readyFile);
    QString notUp(const Server& server, const QString& what) const;
    [[nodiscard]] bool await(const std::function<bool()>& done, int pollMs = 100) const;
    [[nodiscard]] QString readyScript() const;
    [[nodiscard]] QString xWindowOf(qint64 pid) const;
    [[nodiscard]] QImage kwinScreenshot() const;

    Kind m_kind;
    QSize m_screen;
    QTemporaryDir m_scratch;
    QProcessEnvironment m_env;
    int m_timeoutMs = 30000;
    std::function<bool()> m_givenUp;
    QString m_busLauncher;
    bool m_sessionBus = false;
    // The compositor's ready script, which outlives a compositor killed under it.
    int m_readyPid = 0;
    std::vector<Server> m_servers; // stopped last to first
    QProcess* m_displayServer = nullptr;
    QSet<int> m_xDisplays; // the X displays its servers made
};

} // namespace desktop
