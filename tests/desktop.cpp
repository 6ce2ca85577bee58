#include "desktop.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <algorithm>
#include <array>
#include <csignal>
#include <sys/prctl.h>
#include <sys/stat.h>

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
                             : missing.join(QStringLiteral(", ")) +
                                   QStringLiteral(" missing: run scripts/install-deps");
}

// Reads a process's output until `pattern` matches a line; the first group, or empty.
QString awaitLine(QProcess& process, const QString& logFile, const QRegularExpression& pattern,
                  int timeoutMs) {
    QString found;
    waitUntil(
        [&] {
            QByteArray text;
            if (logFile.isEmpty()) {
                process.waitForReadyRead(50);
                text = process.peek(1 << 16);
            } else {
                QFile log(logFile);
                text = log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
            }
            const auto match = pattern.match(QString::fromUtf8(text));
            found = match.hasMatch() ? match.captured(1) : QString();
            return !found.isEmpty() || process.state() == QProcess::NotRunning;
        },
        timeoutMs, 50);
    return found;
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

std::optional<qint64> cpuTimeNs(qint64 pid) {
    QFile schedstat(QStringLiteral("/proc/%1/schedstat").arg(pid));
    if (!schedstat.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    bool ok = false;
    const qint64 ns = schedstat.readAll().split(' ').value(0).toLongLong(&ok);
    return ok ? std::optional(ns) : std::nullopt;
}

QString loadedPlatform(qint64 pid) {
    QFile maps(QStringLiteral("/proc/%1/maps").arg(pid));
    if (!maps.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray text = maps.readAll();
    if (text.contains("/platforms/libqxcb.so")) {
        return QStringLiteral("xcb");
    }
    return text.contains("/platforms/libqwayland") ? QStringLiteral("wayland") : QString();
}

void stop(QProcess& process) {
    if (process.state() == QProcess::NotRunning) {
        return;
    }
    process.terminate();
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished(3000);
    }
}

Desktop::Desktop(Kind kind, QSize screen)
    : m_kind(kind), m_screen(screen), m_env(QProcessEnvironment::systemEnvironment()) {
    // Nobody's own settings (key bindings, decorations, platform) may change what is tested.
    m_env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_scratch.filePath(QStringLiteral("config")));
    m_env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    m_env.remove(QStringLiteral("DISPLAY"));
    m_env.remove(QStringLiteral("WAYLAND_DISPLAY"));
}

Desktop::~Desktop() {
    while (!m_servers.empty()) {
        stop(*m_servers.back());
        m_servers.pop_back();
    }
}

QProcess& Desktop::keep(std::unique_ptr<QProcess> process) {
    m_servers.push_back(std::move(process));
    return *m_servers.back();
}

std::unique_ptr<QProcess> Desktop::launch(const QString& program, const QStringList& args,
                                          const QProcessEnvironment& extra) const {
    auto process = std::make_unique<QProcess>();
    // Children die with the test, even when a timeout kills it before any cleanup runs.
    process->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    QProcessEnvironment env = m_env;
    env.insert(extra);
    process->setProcessEnvironment(env);
    process->setWorkingDirectory(m_scratch.path());
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start(program, args);
    process->waitForStarted(5000);
    return process;
}

ToolResult Desktop::run(const QString& program, const QStringList& args, int timeoutMs) const {
    QProcess process;
    process.setProcessEnvironment(m_env);
    process.setWorkingDirectory(m_scratch.path());
    process.start(program, args);
    ToolResult result;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        result.err = QStringLiteral("%1 did not finish").arg(program);
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    result.err = QString::fromUtf8(process.readAllStandardError()).trimmed();
    return result;
}

QString Desktop::start() {
    if (!m_scratch.isValid()) {
        return QStringLiteral("no scratch directory");
    }
    return m_kind == Kind::XvfbOpenbox ? startXvfb() : startWeston();
}

QString Desktop::startXvfb() {
    if (QString missing = missingTools({"Xvfb", "openbox", "xdotool", "xwd", "convert"});
        !missing.isEmpty()) {
        return missing;
    }
    // Xvfb picks a free display itself and writes its number to the descriptor we give it.
    QProcess& xvfb =
        keep(launch(QStringLiteral("Xvfb"),
                    {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                     QStringLiteral("0"),
                     QStringLiteral("%1x%2x24").arg(m_screen.width()).arg(m_screen.height()),
                     QStringLiteral("-nolisten"), QStringLiteral("tcp")}));
    // Its complaints would fill a pipe nobody reads and stall the server.
    const QString number =
        awaitLine(xvfb, {}, QRegularExpression(QStringLiteral("^(\\d+)\\n")), 10000);
    if (number.isEmpty()) {
        return QStringLiteral("Xvfb never says which display it took");
    }
    m_env.insert(QStringLiteral("DISPLAY"), QLatin1Char(':') + number);

    QProcess& openbox = keep(launch(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")}));
    const bool managing = waitUntil(
        [&] {
            return openbox.state() == QProcess::Running &&
                   run(QStringLiteral("xdotool"),
                       {QStringLiteral("search"), QStringLiteral("--classname"),
                        QStringLiteral("openbox")})
                           .exitCode == 0;
        },
        10000);
    return managing ? QString() : QStringLiteral("openbox never manages the screen");
}

QString Desktop::startWeston() {
    if (QString missing = missingTools({"weston", "weston-screenshooter"}); !missing.isEmpty()) {
        return missing;
    }
    // XWayland's socket lives here whoever starts it; Xvfb makes it, weston expects it.
    const QString xSockets = QStringLiteral("/tmp/.X11-unix");
    if (!QFileInfo::exists(xSockets) && m_kind == Kind::WestonXwayland) {
        QDir().mkpath(xSockets);
        ::chmod(qPrintable(xSockets), 01777);
    }
    const QString runtime = m_scratch.filePath(QStringLiteral("runtime"));
    QDir().mkpath(runtime);
    ::chmod(qPrintable(runtime), 0700);
    m_env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    m_env.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("wayland"));
    const QString socket = QStringLiteral("lumera-test");
    const QString log = m_scratch.filePath(QStringLiteral("weston.log"));
    QStringList args{
        QStringLiteral("--backend=headless-backend.so"), QStringLiteral("--use-pixman"),
        // Lets weston-screenshooter take pictures.
        QStringLiteral("--debug"), QStringLiteral("--socket=") + socket,
        QStringLiteral("--width=%1").arg(m_screen.width()),
        QStringLiteral("--height=%1").arg(m_screen.height()), QStringLiteral("--log=") + log};
    if (m_kind == Kind::WestonXwayland) {
        args << QStringLiteral("--xwayland");
    }
    QProcess& weston = keep(launch(QStringLiteral("weston"), args));
    if (!waitUntil([&] { return QFileInfo::exists(runtime + QLatin1Char('/') + socket); }, 10000)) {
        return QStringLiteral("weston never opens its socket");
    }
    m_env.insert(QStringLiteral("WAYLAND_DISPLAY"), socket);
    if (m_kind == Kind::WestonXwayland) {
        const QString display = awaitLine(
            weston, log, QRegularExpression(QStringLiteral("xserver listening on display (:\\d+)")),
            10000);
        if (display.isEmpty()) {
            return QStringLiteral("weston starts no X server");
        }
        m_env.insert(QStringLiteral("DISPLAY"), display);
    }
    return {};
}

QString Desktop::startAccessibilityBus() {
    const std::array launchers{QStringLiteral("/usr/libexec/at-spi-bus-launcher"),
                               QStringLiteral("/usr/lib/at-spi2-core/at-spi-bus-launcher")};
    const auto launcher = std::ranges::find_if(
        launchers, [](const QString& path) { return QFileInfo(path).isExecutable(); });
    if (launcher == launchers.end() || QStandardPaths::findExecutable("dbus-daemon").isEmpty()) {
        return QStringLiteral("no accessibility bus: run scripts/install-deps");
    }
    QProcess& bus = keep(launch(QStringLiteral("dbus-daemon"),
                                {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                 QStringLiteral("--print-address=1")}));
    const QString address =
        awaitLine(bus, {}, QRegularExpression(QStringLiteral("^(\\S+)\\n")), 10000);
    if (address.isEmpty()) {
        return QStringLiteral("the session bus does not start");
    }
    m_env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
    keep(launch(*launcher, {QStringLiteral("--launch-immediately")}));
    return {};
}

QImage Desktop::screenshot() const {
    return m_kind == Kind::XvfbOpenbox ? xwd() : westonShot();
}

// The compositor's own picture of its output, as the user sees it.
QImage Desktop::westonShot() const {
    const QDir shots(m_scratch.filePath(QStringLiteral("shots")));
    shots.mkpath(QStringLiteral("."));
    QProcess shooter;
    shooter.setProcessEnvironment(m_env);
    shooter.setWorkingDirectory(shots.path());
    shooter.start(QStringLiteral("weston-screenshooter"), {});
    if (!shooter.waitForFinished(10000) || shooter.exitCode() != 0) {
        return {};
    }
    QImage shot;
    for (const QString& file : shots.entryList({QStringLiteral("*.png")})) {
        shot = QImage(shots.filePath(file)).convertToFormat(QImage::Format_RGB32);
        QFile::remove(shots.filePath(file));
    }
    return shot;
}

// The X server's screen through xwd, turned into PNG by ImageMagick.
QImage Desktop::xwd() const {
    QProcess dump;
    QProcess convert;
    dump.setProcessEnvironment(m_env);
    dump.setStandardOutputProcess(&convert);
    dump.start(QStringLiteral("xwd"), {QStringLiteral("-silent"), QStringLiteral("-root")});
    convert.start(QStringLiteral("convert"), {QStringLiteral("xwd:-"), QStringLiteral("png:-")});
    dump.waitForFinished(10000);
    convert.waitForFinished(10000);
    return QImage::fromData(convert.readAllStandardOutput(), "PNG")
        .convertToFormat(QImage::Format_RGB32);
}

} // namespace desktop
