// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "desktop.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <csignal>
#include <sys/prctl.h>
#include <sys/stat.h>

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

// Reads a process's output (or its log file) until `pattern` matches; the first group, or empty.
QString awaitLine(QProcess& process, const QString& logFile, const QString& pattern) {
    const QRegularExpression expression(pattern, QRegularExpression::MultilineOption);
    QString found;
    waitUntil(
        [&] {
            QFile log(logFile);
            process.waitForReadyRead(50);
            const QByteArray text = logFile.isEmpty()               ? process.peek(1 << 16)
                                    : log.open(QIODevice::ReadOnly) ? log.readAll()
                                                                    : QByteArray();
            found = expression.match(QString::fromUtf8(text)).captured(1);
            return !found.isEmpty() || process.state() == QProcess::NotRunning;
        },
        10000, 50);
    return found;
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
    return text.contains("/platforms/libqxcb.so")    ? u"xcb"_s
           : text.contains("/platforms/libqwayland") ? u"wayland"_s
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
    while (!m_servers.empty()) {
        stop(*m_servers.back());
        m_servers.pop_back();
    }
}

QString Desktop::displayName() const {
    return m_env.value(m_kind == Kind::Weston ? u"WAYLAND_DISPLAY"_s : u"DISPLAY"_s);
}

void Desktop::killDisplayServer() {
    m_servers.front()->kill();
    m_servers.front()->waitForFinished(5000);
}

void Desktop::freezeDisplayServer(int ms) {
    const auto server = static_cast<pid_t>(m_servers.front()->processId());
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
    return m_kind == Kind::XvfbOpenbox ? startXvfb() : startWeston();
}

QString Desktop::startXvfb() {
    if (QString missing = missingTools({"Xvfb", "openbox", "xdotool", "xwd", "convert"});
        !missing.isEmpty()) {
        return missing;
    }
    // Xvfb picks a free display itself and writes its number to the descriptor we give it.
    const QString size = u"%1x%2x24"_s.arg(m_screen.width()).arg(m_screen.height());
    QProcess& xvfb =
        keep(launch(u"Xvfb"_s, {"-displayfd", "1", "-screen", "0", size, "-nolisten", "tcp"}));
    const QString number = awaitLine(xvfb, {}, u"^(\\d+)\\n"_s);
    if (number.isEmpty()) {
        return u"Xvfb never says which display it took"_s;
    }
    m_env.insert(u"DISPLAY"_s, u":"_s + number);
    QProcess& openbox = keep(launch(u"openbox"_s, {"--sm-disable"}));
    // On a machine busy building, openbox can take seconds to come up.
    const bool managing = waitUntil(
        [&] {
            return openbox.state() == QProcess::Running &&
                   run(u"xdotool"_s, {"search", "--classname", "openbox"}).exitCode == 0;
        },
        20000);
    return managing ? QString() : u"openbox never manages the screen"_s;
}

QString Desktop::startWeston() {
    if (QString missing = missingTools({"weston", "weston-screenshooter"}); !missing.isEmpty()) {
        return missing;
    }
    // XWayland's socket lives here whoever starts it; Xvfb makes it, weston expects it.
    const QString xSockets = u"/tmp/.X11-unix"_s;
    if (!QFileInfo::exists(xSockets) && m_kind == Kind::WestonXwayland) {
        QDir().mkpath(xSockets);
        ::chmod(qPrintable(xSockets), 01777);
    }
    const QString runtime = m_env.value(u"XDG_RUNTIME_DIR"_s);
    m_env.insert(u"XDG_SESSION_TYPE"_s, u"wayland"_s);
    const QString log = m_scratch.filePath(u"weston.log"_s);
    // --debug lets weston-screenshooter take pictures.
    QStringList args{"--backend=headless-backend.so",
                     "--use-pixman",
                     "--debug",
                     "--socket=lumera-test",
                     u"--width=%1"_s.arg(m_screen.width()),
                     u"--height=%1"_s.arg(m_screen.height()),
                     u"--log="_s + log};
    if (m_kind == Kind::WestonXwayland) {
        args << u"--xwayland"_s;
    }
    QProcess& weston = keep(launch(u"weston"_s, args));
    if (!waitUntil([&] { return QFileInfo::exists(runtime + u"/lumera-test"_s); }, 10000)) {
        return u"weston never opens its socket"_s;
    }
    m_env.insert(u"WAYLAND_DISPLAY"_s, u"lumera-test"_s);
    if (m_kind == Kind::WestonXwayland) {
        const QString display = awaitLine(weston, log, u"xserver listening on display (:\\d+)"_s);
        if (display.isEmpty()) {
            return u"weston starts no X server"_s;
        }
        m_env.insert(u"DISPLAY"_s, display);
    }
    return {};
}

QString Desktop::startAccessibilityBus() {
    QString launcher = u"/usr/libexec/at-spi-bus-launcher"_s;
    if (!QFileInfo(launcher).isExecutable()) {
        launcher = u"/usr/lib/at-spi2-core/at-spi-bus-launcher"_s;
    }
    if (QString missing = missingTools({launcher, "dbus-daemon"}); !missing.isEmpty()) {
        return missing;
    }
    QProcess& bus = keep(launch(u"dbus-daemon"_s, {"--session", "--nofork", "--print-address=1"}));
    const QString address = awaitLine(bus, {}, u"^(\\S+)\\n"_s);
    if (address.isEmpty()) {
        return u"the session bus does not start"_s;
    }
    m_env.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, address);
    m_busLauncher = launcher;
    restartAccessibilityBus();
    return {};
}

void Desktop::restartAccessibilityBus() {
    keep(launch(m_busLauncher, {"--launch-immediately"}));
}

QImage Desktop::screenshot() const {
    QProcess shooter;
    shooter.setProcessEnvironment(m_env);
    if (m_kind != Kind::XvfbOpenbox) {
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
    // The X server's screen through xwd, turned into PNG by ImageMagick.
    QProcess convert;
    shooter.setStandardOutputProcess(&convert);
    shooter.start(u"xwd"_s, {"-silent", "-root"});
    convert.start(u"convert"_s, {"xwd:-", "png:-"});
    shooter.waitForFinished(10000);
    convert.waitForFinished(10000);
    return QImage::fromData(convert.readAllStandardOutput(), "PNG")
        .convertToFormat(QImage::Format_RGB32);
}

} // namespace desktop
