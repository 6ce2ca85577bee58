// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "desktop.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <csignal>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace desktop {

namespace {

QString missingTools(const QStringList& tools) {
    QStringList missing;
    for (const QString& tool : tools) {
        if (QStandardPaths::findExecutable(tool).isEmpty() && !QFileInfo(tool).isExecutable()) {
            missing << tool;
        }
    }
    return missing.isEmpty() ? QString()
                             : missing.join(", ") + u" missing: run scripts/install-deps"_s;
}

// Reads a process's output until `pattern` matches; the first group, or empty.
QString awaitLine(QProcess& process, const QString& pattern) {
    const QRegularExpression expression(pattern, QRegularExpression::MultilineOption);
    QString found;
    waitUntil(
        [&] {
            process.waitForReadyRead(50);
            found = expression.match(QString::fromUtf8(process.peek(1 << 16))).captured(1);
            return !found.isEmpty() || process.state() == QProcess::NotRunning;
        },
        10000, 50);
    return found;
}

// A command's words, from one line.
QStringList words(const QString& line) {
    return line.split(u' ', Qt::SkipEmptyParts);
}

bool onXvfb(Desktop::Kind kind) {
    return kind == Desktop::Kind::XvfbOpenbox || kind == Desktop::Kind::XvfbXfwm4 ||
           kind == Desktop::Kind::XvfbKwin;
}

bool withXwayland(Desktop::Kind kind) {
    return kind == Desktop::Kind::MutterXwayland || kind == Desktop::Kind::KwinXwayland ||
           kind == Desktop::Kind::SwayXwayland;
}

bool isSway(Desktop::Kind kind) {
    return kind == Desktop::Kind::Sway || kind == Desktop::Kind::SwayXwayland;
}

// XWayland's socket lives here whoever starts it; Xvfb makes it, the compositors expect it.
void makeXSocketDirectory() {
    const QString xSockets = u"/tmp/.X11-unix"_s;
    if (!QFileInfo::exists(xSockets)) {
        QDir().mkpath(xSockets);
        ::chmod(qPrintable(xSockets), 01777);
    }
}

void stop(QProcess& process) {
    process.terminate();
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished(3000);
    }
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

QString loadedPlatform(qint64 pid) {
    QFile maps(u"/proc/%1/maps"_s.arg(pid));
    const QByteArray text = maps.open(QIODevice::ReadOnly) ? maps.readAll() : QByteArray();
    return text.contains("/platforms/libqxcb.so")         ? u"xcb"_s
           : text.contains("/platforms/libqwayland")      ? u"wayland"_s
           : text.contains("/platforms/libqoffscreen.so") ? u"offscreen"_s
                                                          : QString();
}

Desktop::Desktop(Kind kind, QSize screen)
    : m_kind(kind), m_screen(screen), m_env(QProcessEnvironment::systemEnvironment()) {
    // Nobody's own settings (key bindings, decorations, platform) may change what is tested.
    m_env.insert(u"XDG_CONFIG_HOME"_s, m_scratch.filePath(u"config"_s));
    for (const QString& name : {u"QT_QPA_PLATFORM"_s, u"DISPLAY"_s, u"WAYLAND_DISPLAY"_s}) {
        m_env.remove(name);
    }
}

Desktop::~Desktop() {
    if (m_readyPid > 0) {
        ::kill(m_readyPid, SIGKILL);
    }
    while (!m_servers.empty()) {
        stop(*m_servers.back());
        m_servers.pop_back();
    }
}

QString Desktop::displayName() const {
    return m_env.value(waylandAlone() ? u"WAYLAND_DISPLAY"_s : u"DISPLAY"_s);
}

bool Desktop::waylandAlone() const {
    return !onXvfb(m_kind) && !withXwayland(m_kind);
}

bool Desktop::showsScreen() const {
    return m_kind != Kind::Mutter;
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
    QProcess& launcher = *m_servers.back();
    run(u"pkill"_s, {"-KILL", "-P", QString::number(launcher.processId())});
    launcher.kill();
    launcher.waitForFinished(5000);
}

QProcess& Desktop::keep(std::unique_ptr<QProcess> process) {
    m_servers.push_back(std::move(process));
    return *m_servers.back();
}

QProcess& Desktop::server(std::unique_ptr<QProcess> process) {
    m_displayServer = &keep(std::move(process));
    return *m_displayServer;
}

std::unique_ptr<QProcess> Desktop::launch(const QString& program, const QStringList& args,
                                          const QProcessEnvironment& extra,
                                          QProcess::ProcessChannelMode channels,
                                          const QStringList& unset) const {
    auto process = std::make_unique<QProcess>();
    // Children die with the test, even when a timeout kills it before any cleanup runs.
    process->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    QProcessEnvironment env = m_env;
    env.insert(extra);
    for (const QString& name : unset) {
        env.remove(name);
    }
    process->setProcessEnvironment(env);
    process->setWorkingDirectory(m_scratch.path());
    process->setProcessChannelMode(channels);
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

QString Desktop::start() {
    if (!m_scratch.isValid()) {
        return u"no scratch directory"_s;
    }
    // Every login session has a runtime directory of its own, X11 ones included.
    const QString runtime = m_scratch.filePath(u"runtime"_s);
    QDir().mkpath(runtime);
    ::chmod(qPrintable(runtime), 0700);
    m_env.insert(u"XDG_RUNTIME_DIR"_s, runtime);
    if (withXwayland(m_kind)) {
        makeXSocketDirectory();
    }
    switch (m_kind) {
    case Kind::Weston:
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
    const QString manager = m_kind == Kind::XvfbXfwm4  ? u"xfwm4"_s
                            : m_kind == Kind::XvfbKwin ? u"kwin_x11"_s
                                                       : u"openbox"_s;
    if (QString missing = missingTools({"Xvfb", manager, "wmctrl", "xdotool", "xwd", "convert"});
        !missing.isEmpty()) {
        return missing;
    }
    // Xvfb picks a free display itself and writes its number to the descriptor we give it.
    const QString size = u"%1x%2x24"_s.arg(m_screen.width()).arg(m_screen.height());
    QProcess& xvfb =
        server(launch(u"Xvfb"_s, {"-displayfd", "1", "-screen", "0", size, "-nolisten", "tcp"}));
    const QString number = awaitLine(xvfb, u"^(\\d+)\\n"_s);
    if (number.isEmpty()) {
        return u"Xvfb never says which display it took"_s;
    }
    m_env.insert(u"DISPLAY"_s, u":"_s + number);
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
    QProcess& wm = keep(launch(manager, args, extra));
    // On a machine busy building, a window manager can take seconds to come up.
    const bool managing = waitUntil(
        [&] { return wm.state() == QProcess::Running && run(u"wmctrl"_s, {"-m"}).exitCode == 0; },
        20000);
    return managing ? QString() : manager + u" never manages the screen"_s;
}

QString Desktop::startWeston() {
    if (QString missing = missingTools({"weston", "weston-screenshooter"}); !missing.isEmpty()) {
        return missing;
    }
    const QString runtime = m_env.value(u"XDG_RUNTIME_DIR"_s);
    m_env.insert(u"XDG_SESSION_TYPE"_s, u"wayland"_s);
    // --debug lets weston-screenshooter take pictures.
    server(launch(u"weston"_s, words(u"--backend=headless-backend.so --use-pixman --debug "
                                     "--width=%1 --height=%2 --socket=lumera-test --log=%3"_s
                                         .arg(m_screen.width())
                                         .arg(m_screen.height())
                                         .arg(m_scratch.filePath(u"weston.log"_s)))));
    m_env.insert(u"WAYLAND_DISPLAY"_s, u"lumera-test"_s);
    return waitUntil([&] { return QFileInfo::exists(runtime + u"/lumera-test"_s); }, 10000)
               ? QString()
               : u"weston never opens its socket"_s;
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

QString Desktop::awaitReady(QProcess& compositor, const QString& readyFile) {
    QFile ready(readyFile);
    if (!waitUntil([&] { return ready.exists() || compositor.state() != QProcess::Running; },
                   20000) ||
        !ready.open(QIODevice::ReadOnly)) {
        return compositor.program() + u" never gets ready"_s;
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
               : compositor.program() + u" starts no X server"_s;
}

QString Desktop::startMutter() {
    if (QString missing = missingTools({"mutter", "xdotool", "xwd", "convert"});
        !missing.isEmpty()) {
        return missing;
    }
    if (QString failed = startSessionBus(); !failed.isEmpty()) {
        return failed;
    }
    // GNOME's compositor on a virtual monitor; it runs our program once it, and its XWayland
    // (with the XAUTHORITY it wants), are ready.
    const QStringList args =
        words(u"--headless --wayland --virtual-monitor %1x%2 --wayland-display=lumera-test %3"_s
                  .arg(m_screen.width())
                  .arg(m_screen.height())
                  .arg(m_kind == Kind::Mutter ? u"--no-x11"_s : u""_s));
    const QString readyFile = m_scratch.filePath(u"ready"_s);
    QProcessEnvironment extra;
    extra.insert(u"READY_FILE"_s, readyFile);
    m_env.insert(u"XDG_SESSION_TYPE"_s, u"wayland"_s);
    return awaitReady(
        server(launch(u"mutter"_s, args + QStringList{u"--"_s, readyScript()}, extra)), readyFile);
}

QString Desktop::startKwin() {
    if (QString missing = missingTools({"kwin_wayland", "xdotool", "wmctrl"}); !missing.isEmpty()) {
        return missing;
    }
    if (QString failed = startSessionBus(); !failed.isEmpty()) {
        return failed;
    }
    // The packaged binary carries file capabilities that a container may refuse to grant, and so
    // refuse to run it; a copy carries none, and KWin runs without them.
    const QString kwin = m_scratch.filePath(u"kwin_wayland"_s);
    QFile::copy(QStandardPaths::findExecutable(u"kwin_wayland"_s), kwin);
    const QStringList args =
        words(u"--virtual --width %1 --height %2 --socket lumera-test --no-lockscreen %3 %4"_s
                  .arg(m_screen.width())
                  .arg(m_screen.height())
                  .arg(m_kind == Kind::KwinXwayland ? u"--xwayland"_s : u""_s, readyScript()));
    const QString readyFile = m_scratch.filePath(u"ready"_s);
    QProcessEnvironment extra;
    extra.insert(u"READY_FILE"_s, readyFile);
    // Lets the test take screenshots through KWin's own D-Bus interface.
    extra.insert(u"KWIN_SCREENSHOT_NO_PERMISSION_CHECKS"_s, u"1"_s);
    m_env.insert(u"XDG_SESSION_TYPE"_s, u"wayland"_s);
    return awaitReady(server(launch(kwin, args, extra)), readyFile);
}

QString Desktop::startSway() {
    if (QString missing = missingTools({"sway", "swaymsg", "grim", "setpriv", "xhost"});
        !missing.isEmpty()) {
        return missing;
    }
    // sway refuses to run as root: then it runs as nobody, in a runtime directory of its own,
    // and our programs (root's) reach its socket by its full path.
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
    QProcess& sway =
        root ? server(launch(u"setpriv"_s, asNobody + command)) : server(launch(u"env"_s, command));
    if (QString failed = awaitReady(sway, readyFile); !failed.isEmpty()) {
        return failed;
    }
    m_env.insert(u"WAYLAND_DISPLAY"_s, runtime + u'/' + m_env.value(u"WAYLAND_DISPLAY"_s));
    const QStringList sockets = QDir(runtime).entryList({u"sway-ipc.*.sock"_s}, QDir::System);
    if (sockets.isEmpty()) {
        return u"sway opens no socket for swaymsg"_s;
    }
    m_env.insert(u"SWAYSOCK"_s, runtime + u'/' + sockets.front());
    if (m_kind == Kind::SwayXwayland && root) {
        // Its XWayland admits only sway's own user until that user lets root in.
        const QStringList xhost =
            asNobody +
            words(u"DISPLAY=%1 xhost +si:localuser:root"_s.arg(m_env.value(u"DISPLAY"_s)));
        if (!waitUntil([&] { return run(u"setpriv"_s, xhost).exitCode == 0; }, 10000)) {
            return u"sway's XWayland does not let root in"_s;
        }
    }
    return {};
}

QString Desktop::startSessionBus() {
    if (m_sessionBus) {
        return {};
    }
    if (QString missing = missingTools({"dbus-daemon"}); !missing.isEmpty()) {
        return missing;
    }
    QProcess& bus = keep(launch(u"dbus-daemon"_s, {"--session", "--nofork", "--print-address=1"}));
    const QString address = awaitLine(bus, u"^(\\S+)\\n"_s);
    if (address.isEmpty()) {
        return u"the session bus does not start"_s;
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
    if (QString missing = missingTools({launcher}); !missing.isEmpty()) {
        return missing;
    }
    if (QString failed = startSessionBus(); !failed.isEmpty()) {
        return failed;
    }
    m_busLauncher = launcher;
    restartAccessibilityBus();
    return {};
}

void Desktop::restartAccessibilityBus() {
    keep(launch(m_busLauncher, {"--launch-immediately"}));
}

QString Desktop::xWindowOf(qint64 pid) const {
    return run(u"xdotool"_s, {"search", "--onlyvisible", "--pid", QString::number(pid)})
        .out.section(u'\n', 0, 0);
}

QImage Desktop::screenshot(qint64 pid) const {
    QProcess shooter;
    shooter.setProcessEnvironment(m_env);
    if (m_kind == Kind::Weston) {
        // The compositor's own picture of its output, as the user sees it.
        const QDir shots(m_scratch.filePath(u"shots"_s));
        shots.mkpath(u"."_s);
        shooter.setWorkingDirectory(shots.path());
        shooter.start(u"weston-screenshooter"_s, {});
        shooter.waitForFinished(10000);
        QImage shot;
        for (const QString& file : shots.entryList({u"*.png"_s})) {
            shot = QImage(shots.filePath(file));
            QFile::remove(shots.filePath(file));
        }
        return shot.convertToFormat(QImage::Format_RGB32);
    }
    if (m_kind == Kind::Kwin || m_kind == Kind::KwinXwayland) {
        return kwinScreenshot();
    }
    if (isSway(m_kind)) {
        shooter.start(u"grim"_s, {"-t", "ppm", "-"});
        shooter.waitForFinished(10000);
        return QImage::fromData(shooter.readAllStandardOutput(), "PPM")
            .convertToFormat(QImage::Format_RGB32);
    }
    if (m_kind == Kind::Mutter || (m_kind == Kind::MutterXwayland && pid == 0)) {
        return {};
    }
    // The X server's screen through xwd, turned into PNG by ImageMagick. XWayland under mutter
    // has no screen of its own to read, only its windows.
    QProcess convert;
    shooter.setStandardOutputProcess(&convert);
    shooter.start(u"xwd"_s, m_kind == Kind::MutterXwayland
                                ? QStringList{u"-silent"_s, u"-id"_s, xWindowOf(pid)}
                                : QStringList{u"-silent"_s, u"-root"_s});
    convert.start(u"convert"_s, {"xwd:-", "png:-"});
    shooter.waitForFinished(10000);
    convert.waitForFinished(10000);
    return QImage::fromData(convert.readAllStandardOutput(), "PNG")
        .convertToFormat(QImage::Format_RGB32);
}

// KWin hands its picture of the screen through a pipe, raw, once asked on its session bus.
QImage Desktop::kwinScreenshot() const {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) {
        return {};
    }
    QDBusConnection bus = QDBusConnection::connectToBus(m_env.value(u"DBUS_SESSION_BUS_ADDRESS"_s),
                                                        u"kwin-screenshots"_s);
    QDBusMessage call =
        QDBusMessage::createMethodCall(u"org.kde.KWin"_s, u"/org/kde/KWin/ScreenShot2"_s,
                                       u"org.kde.KWin.ScreenShot2"_s, u"CaptureArea"_s);
    const QVariantMap options{{u"native-resolution"_s, true}, {u"include-cursor"_s, false}};
    call << 0 << 0 << uint(m_screen.width()) << uint(m_screen.height()) << options
         << QVariant::fromValue(QDBusUnixFileDescriptor(pipeEnds[1]));
    const QDBusMessage reply = bus.call(call, QDBus::Block, 10000);
    ::close(pipeEnds[1]);
    QImage shot;
    if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
        const auto info = qdbus_cast<QVariantMap>(reply.arguments().constFirst());
        const auto height = info.value(u"height"_s).toInt();
        const auto stride = info.value(u"stride"_s).toInt();
        // KWin keeps its end open a while: exactly the picture's bytes are read.
        QByteArray data;
        char chunk[65536];
        pollfd wait{pipeEnds[0], POLLIN, 0};
        while (data.size() < qsizetype(stride) * height && ::poll(&wait, 1, 10000) > 0) {
            const ssize_t got = ::read(pipeEnds[0], chunk, sizeof chunk);
            if (got <= 0) {
                break;
            }
            data.append(chunk, got);
        }
        if (data.size() >= qsizetype(stride) * height) {
            shot = QImage(reinterpret_cast<const uchar*>(data.constData()),
                          info.value(u"width"_s).toInt(), height, stride,
                          QImage::Format(info.value(u"format"_s).toInt()))
                       .convertToFormat(QImage::Format_RGB32);
        }
    }
    ::close(pipeEnds[0]);
    QDBusConnection::disconnectFromBus(u"kwin-screenshots"_s);
    return shot;
}

bool Desktop::resizeWindow(qint64 pid, QSize size) const {
    const QString width = QString::number(size.width());
    const QString height = QString::number(size.height());
    if (isSway(m_kind)) {
        // A tile takes the size of its place: the window floats first.
        return run(u"swaymsg"_s,
                   {u"[pid=%1] floating enable, resize set %2 %3"_s.arg(pid).arg(width, height)})
                   .exitCode == 0;
    }
    if (waylandAlone()) {
        return false;
    }
    const QString window = xWindowOf(pid);
    return run(u"wmctrl"_s, {"-i", "-r", window, "-b", "remove,maximized_vert,maximized_horz"})
                   .exitCode == 0 &&
           // A maximised window keeps its size: the request is made once it is not.
           waitUntil(
               [&] {
                   run(u"wmctrl"_s,
                       {"-i", "-r", window, "-e", u"0,40,40,%1,%2"_s.arg(width, height)});
                   return run(u"xdotool"_s, {"getwindowgeometry", window})
                       .out.contains(u"Geometry: %1x%2"_s.arg(width, height));
               },
               5000, 250);
}

} // namespace desktop
