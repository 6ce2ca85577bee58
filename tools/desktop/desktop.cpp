// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "desktop.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QThread>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace desktop {

namespace {

// What names the caller's own session: none of it reaches a program started in the desktop.
const QStringList callersSession{
    u"DISPLAY"_s,
    u"WAYLAND_DISPLAY"_s,
    u"WAYLAND_SOCKET"_s,
    u"XAUTHORITY"_s,
    u"XDG_RUNTIME_DIR"_s,
    u"DBUS_SESSION_BUS_ADDRESS"_s,
    u"AT_SPI_BUS_ADDRESS"_s,
    u"SWAYSOCK"_s,
    u"I3SOCK"_s,
    u"XDG_SESSION_TYPE"_s,
    u"XDG_SESSION_DESKTOP"_s,
    u"XDG_CURRENT_DESKTOP"_s,
    u"XDG_SESSION_ID"_s,
    u"XDG_SEAT"_s,
    u"XDG_VTNR"_s,
    u"DESKTOP_SESSION"_s,
    u"SESSION_MANAGER"_s,
    u"KDE_FULL_SESSION"_s,
    u"GNOME_SETUP_DISPLAY"_s,
    u"QT_QPA_PLATFORM"_s,
    u"GDK_BACKEND"_s,
};

// A command's words, from one line.
QStringList words(const QString& line) {
    return line.split(u' ', Qt::SkipEmptyParts);
}

QString lastLines(const QString& path, int count = 8) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return u"  (no log)"_s;
    }
    QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    lines = lines.mid(std::max<qsizetype>(0, lines.size() - count));
    return lines.isEmpty() ? u"  (an empty log)"_s : u"  "_s + lines.join(u"\n  "_s);
}

// XWayland's socket lives here whoever starts it; Xvfb makes it, the compositors expect it.
void makeXSocketDirectory() {
    const QString xSockets = u"/tmp/.X11-unix"_s;
    if (!QFileInfo::exists(xSockets)) {
        QDir().mkpath(xSockets);
        ::chmod(qPrintable(xSockets), 01777);
    }
}

// The X displays in use here, by number.
QSet<int> xDisplaysInUse() {
    QSet<int> numbers;
    const QStringList names =
        QDir(u"/tmp/.X11-unix"_s).entryList(QDir::System) +
        QDir(u"/tmp"_s).entryList({u".X*-lock"_s}, QDir::Hidden | QDir::Files);
    for (const QString& name : names) {
        bool numbered = false;
        const int number =
            QString(name).remove(u".X"_s).remove(u"-lock"_s).remove(u'X').toInt(&numbered);
        if (numbered) {
            numbers << number;
        }
    }
    return numbers;
}

// An X server killed outright leaves its socket (and lock file, where it made one), and so does a
// compositor killed under its XWayland (mutter has two displays): nobody would take them again.
void removeIfStale(int number) {
    QFile lock(u"/tmp/.X%1-lock"_s.arg(number));
    if (lock.open(QIODevice::ReadOnly)) {
        const auto owner = static_cast<pid_t>(lock.readAll().trimmed().toInt());
        lock.close();
        if (owner > 0 && (::kill(owner, 0) == 0 || errno != ESRCH)) {
            return;
        }
        QFile::remove(lock.fileName());
    }
    const QByteArray socketPath = u"/tmp/.X11-unix/X%1"_s.arg(number).toLocal8Bit();
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, socketPath.constData(),
                std::min(sizeof address.sun_path - 1, size_t(socketPath.size())));
    const int probe = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (::connect(probe, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 &&
        errno == ECONNREFUSED) {
        ::unlink(socketPath.constData());
    }
    ::close(probe);
}

void stopProcess(QProcess& process) {
    process.terminate();
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished(3000);
    }
}

// sway, run as nobody when the caller is root, must reach its files: they go to /tmp then, whatever
// the caller's own temporary directory (which may be private to the caller).
QString scratchTemplate(Kind kind) {
    const bool swayAsNobody =
        ::geteuid() == 0 && (kind == Kind::Sway || kind == Kind::SwayXwayland);
    const QString name = QCoreApplication::applicationName();
    return (swayAsNobody ? u"/tmp"_s : QDir::tempPath()) + u'/' +
           (name.isEmpty() ? u"desktop"_s : name) +
           (swayAsNobody ? u"-sway-XXXXXX"_s : u"-XXXXXX"_s);
}

} // namespace

bool waitUntil(const std::function<bool()>& done, int timeoutMs, int pollMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs) {
            return false;
        }
        QThread::msleep(static_cast<unsigned long>(pollMs));
    }
    return true;
}

Desktop::Desktop(Kind kind, QSize screen)
    : m_kind(kind), m_screen(screen), m_scratch(scratchTemplate(kind)),
      m_env(QProcessEnvironment::systemEnvironment()) {
    for (const QString& name : callersSession) {
        m_env.remove(name);
    }
    // Nobody's own settings (key bindings, decorations, themes) may change what the desktop shows.
    m_env.insert(u"XDG_CONFIG_HOME"_s, m_scratch.filePath(u"config"_s));
}

Desktop::~Desktop() {
    stop();
}

void Desktop::setPatience(int timeoutMs, std::function<bool()> givenUp) {
    m_timeoutMs = timeoutMs;
    m_givenUp = std::move(givenUp);
}

bool Desktop::await(const std::function<bool()>& done, int pollMs) const {
    return waitUntil([&] { return done() || (m_givenUp && m_givenUp()); }, m_timeoutMs, pollMs) &&
           !(m_givenUp && m_givenUp());
}

void Desktop::stop() {
    if (m_readyPid > 0) {
        ::kill(m_readyPid, SIGKILL);
        m_readyPid = 0;
    }
    while (!m_servers.empty()) {
        stopProcess(*m_servers.back().process);
        m_servers.pop_back();
    }
    m_displayServer = nullptr;
    for (const int number : m_xDisplays) {
        removeIfStale(number);
    }
}

QString Desktop::displayName() const {
    return m_env.value(waylandAlone() ? u"WAYLAND_DISPLAY"_s : u"DISPLAY"_s);
}

bool Desktop::running() const {
    // A process's state changes only once it is waited for: asked here without reaping it.
    return !m_servers.empty() && std::ranges::all_of(m_servers, [](const Server& server) {
        siginfo_t ended{};
        return server.process->state() == QProcess::Running &&
               ::waitid(P_PID, static_cast<id_t>(server.process->processId()), &ended,
                        WEXITED | WNOHANG | WNOWAIT) == 0 &&
               ended.si_pid == 0;
    });
}

QList<qint64> Desktop::processIds() const {
    QList<qint64> ids;
    for (const Server& server : m_servers) {
        ids << server.process->processId();
    }
    return ids;
}

void Desktop::killDisplayServer() {
    m_displayServer->kill();
    m_displayServer->waitForFinished(5000);
}

void Desktop::freezeDisplayServer(int ms) const {
    const auto server = static_cast<pid_t>(m_displayServer->processId());
    ::kill(server, SIGSTOP);
    QThread::msleep(static_cast<unsigned long>(ms));
    ::kill(server, SIGCONT);
}

void Desktop::killAccessibilityBus() {
    // The launcher is the last server kept; the bus it runs is its child.
    QProcess& launcher = *m_servers.back().process;
    run(u"pkill"_s, {"-KILL", "-P", QString::number(launcher.processId())});
    launcher.kill();
    launcher.waitForFinished(5000);
}

std::unique_ptr<QProcess> Desktop::launch(const QString& program, const QStringList& args,
                                          const Launch& how) const {
    auto process = std::make_unique<QProcess>();
    // Children die with their starter, even when a timeout kills it before any cleanup runs.
    process->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    QProcessEnvironment env = m_env;
    env.insert(how.extra);
    for (const QString& name : how.unset) {
        env.remove(name);
    }
    process->setProcessEnvironment(env);
    process->setWorkingDirectory(how.workingDirectory.isEmpty() ? m_scratch.path()
                                                                : how.workingDirectory);
    process->setProcessChannelMode(how.channels);
    process->setInputChannelMode(how.input);
    process->start(program, args);
    process->waitForStarted(5000);
    return process;
}

ToolResult Desktop::run(const QString& program, const QStringList& args, int timeoutMs) const {
    QProcess process;
    process.setProcessEnvironment(m_env);
    process.setWorkingDirectory(m_scratch.path());
    process.start(program, args);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return {-1, {}, program + u" did not finish"_s};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()).trimmed(),
            QString::fromUtf8(process.readAllStandardError()).trimmed()};
}

QProcess& Desktop::startServer(const QString& program, const QStringList& args, const QString& name,
                               const QProcessEnvironment& extra, bool readOutput) {
    auto process = std::make_unique<QProcess>();
    // A session of its own: a terminal's Ctrl+C or hang-up reaches the program in the desktop,
    // which then ends before its display does.
    process->setChildProcessModifier([] {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        ::setsid();
    });
    QProcessEnvironment env = m_env;
    env.insert(extra);
    process->setProcessEnvironment(env);
    process->setWorkingDirectory(m_scratch.path());
    const QString log = m_scratch.filePath(name + u".log"_s);
    process->setProcessChannelMode(readOutput ? QProcess::SeparateChannels
                                              : QProcess::MergedChannels);
    if (readOutput) {
        process->setStandardErrorFile(log, QIODevice::Append);
    } else {
        process->setStandardOutputFile(log, QIODevice::Append);
    }
    process->start(program, args);
    process->waitForStarted(5000);
    m_servers.push_back({std::move(process), log});
    return *m_servers.back().process;
}

QString Desktop::notUp(const Server& server, const QString& what) const {
    if (m_givenUp && m_givenUp()) {
        return u"given up while %1 was starting"_s.arg(server.process->program());
    }
    return u"%1 %2 in %3 s; the last lines of its log:\n%4"_s
        .arg(QFileInfo(server.process->program()).fileName(), what)
        .arg(m_timeoutMs / 1000)
        .arg(lastLines(server.log));
}

QString Desktop::start() {
    if (!m_scratch.isValid()) {
        return u"no scratch directory"_s;
    }
    if (const QStringList missing = missingPrograms(type()); !missing.isEmpty()) {
        return u"%1 needs %2, not installed here: run scripts/install-deps"_s.arg(
            type().name, missing.join(u", "_s));
    }
    // Every login session has a runtime directory of its own, X11 ones included.
    const QString runtime = m_scratch.filePath(u"runtime"_s);
    QDir().mkpath(runtime);
    ::chmod(qPrintable(runtime), 0700);
    m_env.insert(u"XDG_RUNTIME_DIR"_s, runtime);
    m_env.insert(u"XDG_SESSION_TYPE"_s, type().session == Session::X11 ? u"x11"_s : u"wayland"_s);
    if (type().session == Session::XWayland) {
        makeXSocketDirectory();
    }
    const QSet<int> before = xDisplaysInUse();
    QString failed = startServers();
    // Displays that came up meanwhile are taken to be ours, to be cleared if they go stale.
    m_xDisplays = xDisplaysInUse() - before;
    return failed;
}

QString Desktop::startServers() {
    switch (m_kind) {
    case Kind::Weston:
    case Kind::WestonXwayland:
        return startWeston();
    case Kind::Mutter:
    case Kind::MutterXwayland:
        return startMutter();
    case Kind::Kwin:
    case Kind::KwinXwayland:
        return startKwin();
    case Kind::Sway:
    case Kind::SwayXwayland:
        return startSway();
    default:
        return startXvfb();
    }
}

QString Desktop::startXvfb() {
    // Xvfb picks a free display itself and writes its number to the descriptor we give it. It
    // must not reset when its last client leaves: a window manager slow to come up would find
    // the display gone for a moment, after an early `wmctrl -m` had come and gone.
    const QString size = u"%1x%2x24"_s.arg(m_screen.width()).arg(m_screen.height());
    QProcess& xvfb = startServer(
        u"Xvfb"_s, {"-displayfd", "1", "-screen", "0", size, "-nolisten", "tcp", "-noreset"},
        u"Xvfb"_s, {}, true);
    QString number;
    static_cast<void>(await([&] {
        xvfb.waitForReadyRead(50);
        number =
            QRegularExpression(u"^(\\d+)\\n"_s).match(QString::fromUtf8(xvfb.peek(64))).captured(1);
        return !number.isEmpty() || xvfb.state() == QProcess::NotRunning;
    }));
    if (number.isEmpty()) {
        return notUp(m_servers.back(), u"never said which display it took"_s);
    }
    m_displayServer = &xvfb;
    m_env.insert(u"DISPLAY"_s, u":"_s + number);
    const QString manager = type().programs.at(1);
    QStringList args{u"--sm-disable"_s};
    QProcessEnvironment extra;
    if (m_kind == Kind::XvfbXfwm4) {
        // xfwm4 reads its settings through xfconf, on the session bus; without one it gives up.
        if (QString failed = startSessionBus(); !failed.isEmpty()) {
            return failed;
        }
        args = QStringList{u"--compositor=off"_s, u"--sm-client-disable"_s};
    } else if (m_kind == Kind::XvfbKwin) {
        // KWin is a Qt program too: on X11 it must not look for a compositor.
        extra.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
        args.clear();
    }
    QProcess& wm = startServer(manager, args, manager, extra);
    // On a machine busy building, a window manager can take seconds to come up.
    const bool managing = await(
        [&] { return wm.state() == QProcess::Running && run(u"wmctrl"_s, {"-m"}).exitCode == 0; },
        200);
    return managing ? QString() : notUp(m_servers.back(), u"never managed the screen"_s);
}

QString Desktop::startWeston() {
    const QString runtime = m_env.value(u"XDG_RUNTIME_DIR"_s);
    const bool xwayland = m_kind == Kind::WestonXwayland;
    // --debug lets weston-screenshooter take pictures. Idle for its default five minutes (no
    // input reaches a headless weston), it locks and stops painting its output, and a
    // screenshot waits for a frame that never comes.
    startServer(
        u"weston"_s,
        words(u"--backend=headless-backend.so --use-pixman --debug --idle-time=0 --width=%1 "
              "--height=%2 --socket=wayland-0 %3"_s.arg(m_screen.width())
                  .arg(m_screen.height())
                  .arg(xwayland ? u"--xwayland"_s : u""_s)),
        u"weston"_s);
    const Server& weston = m_servers.back();
    m_displayServer = weston.process.get();
    m_env.insert(u"WAYLAND_DISPLAY"_s, u"wayland-0"_s);
    if (!await([&] { return QFileInfo::exists(runtime + u"/wayland-0"_s); })) {
        return notUp(weston, u"never opened its socket"_s);
    }
    // A window maximised before the shell's panel is there is given the whole screen, and lies
    // under the panel and past the screen's bottom for good.
    if (!await([&] {
            return run(u"weston-debug"_s, {u"scene-graph"_s}).out.contains(u"panel for output"_s);
        })) {
        return notUp(weston, u"never showed its panel"_s);
    }
    if (!xwayland) {
        return {};
    }
    // weston starts its XWayland on the first X client, and says beforehand where it will be.
    QString display;
    const QRegularExpression listening(u"xserver listening on display (:\\d+)"_s);
    if (!await([&] {
            QFile log(weston.log);
            display = log.open(QIODevice::ReadOnly)
                          ? listening.match(QString::fromUtf8(log.readAll())).captured(1)
                          : QString();
            return !display.isEmpty();
        })) {
        return notUp(weston, u"never opened an X display"_s);
    }
    m_env.insert(u"DISPLAY"_s, display);
    return {};
}

// Run by a compositor once it is ready: notes the display it gives its programs, then stays as
// long as the compositor (mutter ends when its program ends).
QString Desktop::readyScript() const {
    QString path = m_scratch.filePath(u"ready.sh"_s);
    QFile script(path);
    if (!script.exists() && script.open(QIODevice::WriteOnly)) {
        script.write(
            "#!/bin/sh\n"
            "{ env | grep -E '^(DISPLAY|WAYLAND_DISPLAY|XAUTHORITY)='; echo READY_PID=$$; }"
            " >\"$READY_FILE.part\"\n"
            "mv \"$READY_FILE.part\" \"$READY_FILE\"\n"
            "while kill -0 $PPID 2>/dev/null; do sleep 1; done\n");
        script.close();
        ::chmod(qPrintable(path), 0755);
    }
    return path;
}

QString Desktop::awaitReady(const Server& compositor, const QString& readyFile) {
    m_displayServer = compositor.process.get();
    QFile ready(readyFile);
    if (!await(
            [&] { return ready.exists() || compositor.process->state() != QProcess::Running; }) ||
        !ready.open(QIODevice::ReadOnly)) {
        return notUp(compositor, u"never got ready"_s);
    }
    for (const QByteArray& line : ready.readAll().split('\n')) {
        const QString text = QString::fromUtf8(line);
        if (text.startsWith(u"READY_PID="_s)) {
            m_readyPid = text.section(u'=', 1).toInt();
        } else if (!text.section(u'=', 1).isEmpty()) {
            m_env.insert(text.section(u'=', 0, 0), text.section(u'=', 1));
        }
    }
    return waylandAlone() || m_env.contains(u"DISPLAY"_s)
               ? QString()
               : notUp(compositor, u"started no X server"_s);
}

QString Desktop::startMutter() {
    if (QString failed = startSessionBus(); !failed.isEmpty()) {
        return failed;
    }
    // GNOME's compositor on a virtual monitor; it runs the ready script once it, and its XWayland
    // (with the XAUTHORITY it wants), are ready.
    const QStringList args =
        words(u"--headless --wayland --virtual-monitor %1x%2 --wayland-display=wayland-0 %3"_s
                  .arg(m_screen.width())
                  .arg(m_screen.height())
                  .arg(m_kind == Kind::Mutter ? u"--no-x11"_s : u""_s));
    const QString readyFile = m_scratch.filePath(u"ready"_s);
    QProcessEnvironment extra;
    extra.insert(u"READY_FILE"_s, readyFile);
    startServer(u"mutter"_s, args + QStringList{u"--"_s, readyScript()}, u"mutter"_s, extra);
    return awaitReady(m_servers.back(), readyFile);
}

QString Desktop::startKwin() {
    if (QString failed = startSessionBus(); !failed.isEmpty()) {
        return failed;
    }
    // The packaged binary carries file capabilities that a container may refuse to grant, and so
    // refuse to run it; a copy carries none, and KWin runs without them.
    const QString kwin = m_scratch.filePath(u"kwin_wayland"_s);
    QFile::copy(QStandardPaths::findExecutable(u"kwin_wayland"_s), kwin);
    const QStringList args =
        words(u"--virtual --width %1 --height %2 --socket wayland-0 --no-lockscreen %3 %4"_s
                  .arg(m_screen.width())
                  .arg(m_screen.height())
                  .arg(m_kind == Kind::KwinXwayland ? u"--xwayland"_s : u""_s, readyScript()));
    const QString readyFile = m_scratch.filePath(u"ready"_s);
    QProcessEnvironment extra;
    extra.insert(u"READY_FILE"_s, readyFile);
    // Lets screenshots be taken through KWin's own D-Bus interface.
    extra.insert(u"KWIN_SCREENSHOT_NO_PERMISSION_CHECKS"_s, u"1"_s);
    startServer(kwin, args, u"kwin_wayland"_s, extra);
    return awaitReady(m_servers.back(), readyFile);
}

QString Desktop::startSway() {
    // sway refuses to run as root: then it runs as nobody, in a runtime directory of its own,
    // and the programs started here (root's) reach its socket by its full path.
    const bool root = ::geteuid() == 0;
    QString runtime = m_env.value(u"XDG_RUNTIME_DIR"_s);
    if (root) {
        ::chmod(qPrintable(m_scratch.path()), 0755);
        runtime = m_scratch.filePath(u"sway-runtime"_s);
        QDir().mkpath(runtime);
        ::chmod(qPrintable(runtime), 0700);
        if (::chown(qPrintable(runtime), 65534, 65534) != 0) {
            return u"no runtime directory for sway's user"_s;
        }
    }
    const QString readyFile = runtime + u"/ready"_s;
    const QString config = m_scratch.filePath(u"sway.config"_s);
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly)) {
        return u"no sway configuration"_s;
    }
    file.write(u"output HEADLESS-1 resolution %1x%2 position 0 0\n"
               "xwayland %3\n"
               "exec %4\n"_s.arg(m_screen.width())
                   .arg(m_screen.height())
                   .arg(m_kind == Kind::SwayXwayland ? u"force"_s : u"disable"_s, readyScript())
                   .toUtf8());
    file.close();
    const QStringList command =
        words(u"HOME=%1 PATH=/usr/bin:/bin XDG_RUNTIME_DIR=%1 READY_FILE=%2 WLR_BACKENDS=headless "
              "WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 sway -c %3"_s.arg(runtime, readyFile,
                                                                               config));
    const QStringList asNobody = words(u"--reuid=nobody --regid=nogroup --clear-groups env -i"_s);
    // setpriv and env each run the next program in their own place: the process is sway's.
    startServer(root ? u"setpriv"_s : u"env"_s, root ? asNobody + command : command, u"sway"_s);
    if (QString failed = awaitReady(m_servers.back(), readyFile); !failed.isEmpty()) {
        return failed;
    }
    m_env.insert(u"WAYLAND_DISPLAY"_s, runtime + u'/' + m_env.value(u"WAYLAND_DISPLAY"_s));
    const QStringList sockets = QDir(runtime).entryList({u"sway-ipc.*.sock"_s}, QDir::System);
    if (sockets.isEmpty()) {
        return notUp(m_servers.back(), u"opened no socket for swaymsg"_s);
    }
    m_env.insert(u"SWAYSOCK"_s, runtime + u'/' + sockets.front());
    if (m_kind == Kind::SwayXwayland && root) {
        // Its XWayland admits only sway's own user until that user lets root in.
        const QStringList xhost =
            asNobody +
            words(u"DISPLAY=%1 xhost +si:localuser:root"_s.arg(m_env.value(u"DISPLAY"_s)));
        if (!await([&] { return run(u"setpriv"_s, xhost).exitCode == 0; })) {
            return notUp(m_servers.back(), u"let root into its XWayland"_s);
        }
    }
    return {};
}

QString Desktop::startSessionBus() {
    if (m_sessionBus) {
        return {};
    }
    QProcess& bus = startServer(u"dbus-daemon"_s, {"--session", "--nofork", "--print-address=1"},
                                u"dbus-daemon"_s, {}, true);
    QString address;
    static_cast<void>(await([&] {
        bus.waitForReadyRead(50);
        address = QRegularExpression(u"^(\\S+)\\n"_s)
                      .match(QString::fromUtf8(bus.peek(4096)))
                      .captured(1);
        return !address.isEmpty() || bus.state() == QProcess::NotRunning;
    }));
    if (address.isEmpty()) {
        return notUp(m_servers.back(), u"gave no session bus"_s);
    }
    m_env.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, address);
    m_sessionBus = true;
    return {};
}

QString Desktop::startAccessibilityBus() {
    QString launcher = u"/usr/libexec/at-spi-bus-launcher"_s;
    if (!QFileInfo(launcher).isExecutable()) {
        launcher = u"/usr/lib/at-spi2-core/at-spi-bus-launcher"_s;
    }
    if (!QFileInfo(launcher).isExecutable() ||
        QStandardPaths::findExecutable(u"dbus-daemon"_s).isEmpty()) {
        return u"the accessibility bus needs at-spi-bus-launcher and dbus-daemon, not installed "
               "here: run scripts/install-deps"_s;
    }
    if (QString failed = startSessionBus(); !failed.isEmpty()) {
        return failed;
    }
    m_busLauncher = launcher;
    restartAccessibilityBus();
    return {};
}

void Desktop::restartAccessibilityBus() {
    startServer(m_busLauncher, {"--launch-immediately"}, u"at-spi-bus-launcher"_s);
}

} // namespace desktop
