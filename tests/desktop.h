// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// A private desktop for the real program: Xvfb with openbox, Xfce's xfwm4 or KDE's kwin_x11, or a
// headless weston, or GNOME's mutter, KDE's kwin_wayland or sway with XWayland or without; each
// with its own screenshots, its window manager's resizing and, on request, an accessibility bus.
#pragma once

#include <QImage>
#include <QProcess>
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

// Polls until `done` holds or `timeoutMs` passes.
bool waitUntil(const std::function<bool()>& done, int timeoutMs, int pollMs = 100);

// Which Qt platform plugin a running process loaded: "xcb", "wayland", "offscreen" or empty.
QString loadedPlatform(qint64 pid);

class Desktop {
public:
    enum class Kind {
        XvfbOpenbox,
        XvfbXfwm4,
        XvfbKwin,
        Weston,
        Mutter,
        MutterXwayland,
        Kwin,
        KwinXwayland,
        Sway,
        SwayXwayland,
    };

    explicit Desktop(Kind kind, QSize screen = {1024, 768});
    ~Desktop();
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    // Starts the display server (and window manager); empty when all is well, else what failed.
    [[nodiscard]] QString start();
    // A session bus with the accessibility bus on it, for the programs started after it.
    [[nodiscard]] QString startAccessibilityBus();

    // Starts a program in this desktop; it dies with the test whatever happens. Its standard
    // error goes to the test's unless `channels` keeps it to be read; `unset` names variables of
    // the session it does not get.
    [[nodiscard]] std::unique_ptr<QProcess>
    launch(const QString& program, const QStringList& args = {},
           const QProcessEnvironment& extra = {},
           QProcess::ProcessChannelMode channels = QProcess::ForwardedErrorChannel,
           const QStringList& unset = {}) const;
    ToolResult run(const QString& program, const QStringList& args, int timeoutMs = 10000) const;

    // The display a program started here connects to: an X display, or a Wayland socket's name.
    [[nodiscard]] QString displayName() const;
    // Whether programs started here find only a Wayland compositor, no X server.
    [[nodiscard]] bool waylandAlone() const;
    // Whether screenshot() shows the program's window: it does everywhere but on mutter without
    // XWayland (its screen is reached only through PipeWire).
    [[nodiscard]] bool showsScreen() const;
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
    QString startXvfb();
    QString startWeston();
    QString startMutter();
    QString startKwin();
    QString startSway();
    QString startSessionBus();
    // Starts a compositor that runs a program of ours once it is ready, and takes the display
    // it gives that program.
    QString awaitReady(QProcess& compositor, const QString& readyFile);
    [[nodiscard]] QString readyScript() const;
    [[nodiscard]] QString xWindowOf(qint64 pid) const;
    [[nodiscard]] QImage kwinScreenshot() const;
    QProcess& keep(std::unique_ptr<QProcess> process);
    QProcess& server(std::unique_ptr<QProcess> process); // kept, as the display server

    Kind m_kind;
    QSize m_screen;
    QTemporaryDir m_scratch;
    QProcessEnvironment m_env;
    QString m_busLauncher;
    bool m_sessionBus = false;
    // The compositor's ready program, which outlives a compositor killed under it.
    int m_readyPid = 0;
    std::vector<std::unique_ptr<QProcess>> m_servers; // stopped last to first
    QProcess* m_displayServer = nullptr;
};

} // namespace desktop
