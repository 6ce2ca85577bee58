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
#include <bit>
#include <csignal>
#include <sys/prctl.h>
#include <sys/stat.h>

namespace desktop {

namespace {

// xwd's dump as an image. Its header is big-endian 32-bit words and is followed by the colour
// map (12 bytes a colour), then the rows in the server's byte order. The header's bits per
// pixel decide the pixel size: xwd may pack a 4-byte screen's pixels into 3 bytes. Only `area`
// is decoded when given (the rest stays black): a sanitizer build decodes slowly.
QImage fromXwd(const QByteArray& dump, QRect area = {}) {
    const auto* bytes = reinterpret_cast<const uchar*>(dump.constData());
    const auto word = [&](qsizetype at) {
        const uchar* p = bytes + at;
        return quint32{p[0]} << 24 | quint32{p[1]} << 16 | quint32{p[2]} << 8 | quint32{p[3]};
    };
    const auto half = [&](qsizetype at) { return quint32{bytes[at]} << 8 | bytes[at + 1]; };
    constexpr qsizetype headerBytes = qsizetype{25} * 4;
    if (dump.size() < headerBytes) {
        return {};
    }
    const qsizetype headerSize = word(0);
    const quint32 format = word(8);
    const int width = static_cast<int>(word(16));
    const int height = static_cast<int>(word(20));
    const bool msbFirst = word(28) == 1;
    const qsizetype bytesPerLine = word(48);
    const quint32 visualClass = word(52);
    const std::array masks{word(56), word(60), word(64)};
    const qsizetype colours = word(76);
    const qsizetype pixelsAt = headerSize + colours * 12;
    constexpr quint32 zPixmap = 2;
    constexpr quint32 trueColour = 4;
    constexpr quint32 directColour = 5;
    const qsizetype bytesPerPixel = word(44) / 8;
    const bool eightBitChannels = std::ranges::all_of(masks, [](quint32 m) {
        return std::popcount(m) == 8 && (m >> std::countr_zero(m)) == 0xFF;
    });
    if (format != zPixmap || (visualClass != trueColour && visualClass != directColour) ||
        (bytesPerPixel != 3 && bytesPerPixel != 4) || bytesPerLine < width * bytesPerPixel ||
        !eightBitChannels || dump.size() < pixelsAt + bytesPerLine * height) {
        return {};
    }
    // Direct colour looks each channel up in the colour map; true colour is the value itself.
    std::array<std::array<int, 256>, 3> lookUp{};
    for (auto& table : lookUp) {
        for (int i = 0; i < 256; ++i) {
            table[static_cast<std::size_t>(i)] = i;
        }
    }
    if (visualClass == directColour) {
        for (qsizetype c = 0; c < colours; ++c) {
            const qsizetype at = headerSize + c * 12;
            const quint32 pixel = word(at);
            for (std::size_t k = 0; k < 3; ++k) {
                const auto index = (pixel & masks[k]) >> std::countr_zero(masks[k]);
                lookUp[k][index] =
                    static_cast<int>(half(at + 4 + 2 * static_cast<qsizetype>(k)) >> 8);
            }
        }
    }
    std::array<int, 3> shifts{};
    for (std::size_t k = 0; k < 3; ++k) {
        shifts[k] = std::countr_zero(masks[k]);
    }
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::black);
    area = area.isNull() ? image.rect() : area.intersected(image.rect());
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const uchar* row = bytes + pixelsAt + bytesPerLine * y;
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = area.left(); x <= area.right(); ++x) {
            const uchar* b = row + x * bytesPerPixel;
            quint32 pixel = 0;
            for (qsizetype i = 0; i < bytesPerPixel; ++i) {
                const qsizetype shift = msbFirst ? (bytesPerPixel - 1 - i) * 8 : i * 8;
                pixel |= quint32{b[i]} << shift;
            }
            std::array<int, 3> rgb{};
            for (std::size_t k = 0; k < 3; ++k) {
                rgb[k] = lookUp[k][(pixel & masks[k]) >> shifts[k]];
            }
            out[x] = qRgb(rgb[0], rgb[1], rgb[2]);
        }
    }
    return image;
}

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
    if (QString missing = missingTools({"Xvfb", "openbox", "xdotool", "xwd"}); !missing.isEmpty()) {
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

QImage Desktop::screenshot(QRect area) const {
    return m_kind == Kind::XvfbOpenbox ? xwd(area) : westonShot();
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

// xwd rather than ImageMagick, whose start-up alone would take longer than the program may run
// between two shots of the electron.
QImage Desktop::xwd(QRect area) const {
    QProcess xwd;
    xwd.setProcessEnvironment(m_env);
    xwd.start(QStringLiteral("xwd"), {QStringLiteral("-silent"), QStringLiteral("-root")});
    QByteArray dump;
    while (xwd.waitForReadyRead(5000)) {
        dump += xwd.readAllStandardOutput();
    }
    xwd.waitForFinished(5000);
    dump += xwd.readAllStandardOutput();
    if (xwd.exitStatus() != QProcess::NormalExit || xwd.exitCode() != 0) {
        return {};
    }
    return fromXwd(dump, area);
}

} // namespace desktop
