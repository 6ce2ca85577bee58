// End to end: the real program on its own Xvfb screen under openbox, seen through screenshots.
#include <QDebug>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <csignal>
#include <functional>
#include <memory>
#include <numbers>
#include <optional>
#include <sys/prctl.h>
#include <sys/types.h>

#ifndef LUMERA_BUILD_DIR
#error "LUMERA_BUILD_DIR must name the build tree whose program is installed and tested"
#endif
#ifndef LUMERA_E2E_OUTPUT_DIR
#error "LUMERA_E2E_OUTPUT_DIR must name where the screenshots are kept"
#endif

namespace {

constexpr int screenWidth = 1024;
constexpr int screenHeight = 768;

const QString mainTitle = QStringLiteral("ЛЮМЕРА");
const QString noticeTitle = QStringLiteral("Прудупреждение");

// The window's layout in client pixels (15 twips each), as the program places it.
constexpr QPoint atomInnerOrigin(506, 106); // Picture3 at (504, 104) inside its 2-px border
constexpr int atomInnerSide = 448;
constexpr double pixelsPerUnit = atomInnerSide / 30.0; // user units run -15..15
constexpr std::array orbitRadii{4, 6, 8, 10, 12, 14};
constexpr QPoint headingCentre(544, 60); // Label1: (240, 24), 609 x 73
// Option n's centre: Picture4's inner area (506, 570), Frame1 at (8, 40), the button 17 px.
constexpr QPoint optionCentre(int leftPixels) {
    return {506 + 8 + leftPixels + 8, 570 + 40 + 48 + 8};
}
// The transition marks Line3 … Line6, two pixels wide, sampled above the bottom level line.
constexpr std::array markColumns{186, 250, 322, 394};
constexpr int markSampleRow = 390;
// Label27, the first wavelength, in Picture1's inner area at (90, 106).
constexpr QRect firstWavelength(90 + 200, 106 + 344, 40, 17);

const QColor windowBlue(141, 169, 209);
const QColor panelYellow(251, 249, 168);
const QColor pureRed(255, 0, 0);
const QColor white(255, 255, 255);

bool isColour(const QImage& image, QPoint at, const QColor& colour) {
    return image.rect().contains(at) && image.pixelColor(at).rgb() == colour.rgb();
}

bool isInk(QRgb pixel) {
    return qRed(pixel) < 100 && qGreen(pixel) < 100 && qBlue(pixel) < 100;
}

bool isElectronBlue(QRgb pixel) {
    return qBlue(pixel) >= 200 && qRed(pixel) <= 60 && qGreen(pixel) <= 60;
}

QString describe(QPoint p) {
    return QStringLiteral("(%1, %2)").arg(p.x()).arg(p.y());
}

QString describe(const QColor& c) {
    return QStringLiteral("rgb(%1, %2, %3)").arg(c.red()).arg(c.green()).arg(c.blue());
}

// Where the atom picture's white drawing area is on the screen.
struct AtomArea {
    QPoint topLeft;
    [[nodiscard]] QPoint centre() const {
        return topLeft + QPoint(atomInnerSide / 2, atomInnerSide / 2);
    }
    [[nodiscard]] QPoint clientOrigin() const { return topLeft - atomInnerOrigin; }
};

// The only white square of the atom picture's size: its top rows are clear of the orbits.
std::optional<AtomArea> findAtomArea(const QImage& shot) {
    for (int y = 0; y < shot.height(); ++y) {
        int runStart = -1;
        for (int x = 0; x <= shot.width(); ++x) {
            const bool whitePixel = x < shot.width() && shot.pixel(x, y) == white.rgb();
            if (whitePixel && runStart < 0) {
                runStart = x;
            } else if (!whitePixel && runStart >= 0) {
                if (x - runStart == atomInnerSide) {
                    int height = 0;
                    while (y + height < shot.height() &&
                           shot.pixel(runStart, y + height) == white.rgb()) {
                        ++height;
                    }
                    if (height == atomInnerSide) {
                        return AtomArea{QPoint(runStart, y)};
                    }
                }
                runStart = -1;
            }
        }
    }
    return std::nullopt;
}

// Middles of the dark runs met walking from `from` in steps of `step`, as distances from `from`.
QList<double> inkCrossings(const QImage& shot, QPoint from, QPoint step, int length) {
    QList<double> found;
    int runStart = -1;
    for (int i = 0; i <= length; ++i) {
        const QPoint at = from + step * i;
        const bool ink = i < length && shot.rect().contains(at) && isInk(shot.pixel(at));
        if (ink && runStart < 0) {
            runStart = i;
        } else if (!ink && runStart >= 0) {
            found << (runStart + i - 1) / 2.0;
            runStart = -1;
        }
    }
    return found;
}

// Everything wrong with the still parts of the window in one screenshot; empty when all is well.
QStringList layoutFaults(const QImage& shot) {
    const std::optional<AtomArea> atom = findAtomArea(shot);
    if (!atom) {
        return {QStringLiteral("no %1 x %1 white atom picture on the screen").arg(atomInnerSide)};
    }
    QStringList faults;
    const QPoint origin = atom->clientOrigin();
    // Maximised: the client starts at the screen's left edge, just under the title bar.
    if (origin.x() != 0 || origin.y() < 0 || origin.y() > 60) {
        faults << QStringLiteral("the atom picture puts the client origin at %1")
                      .arg(describe(origin));
    }
    const auto expect = [&](QPoint client, const QColor& colour, const QString& what) {
        const QPoint at = origin + client;
        const QColor seen = shot.rect().contains(at) ? shot.pixelColor(at) : QColor();
        if (seen.rgb() != colour.rgb()) {
            faults << QStringLiteral("%1 at client %2: %3 expected, %4 seen")
                          .arg(what, describe(client), describe(colour), describe(seen));
        }
    };
    const QString ground = QStringLiteral("window ground");
    expect({20, 300}, windowBlue, ground);
    expect({150, 60}, windowBlue, ground);
    expect({487, 300}, windowBlue, ground);
    expect({990, 300}, windowBlue, ground);
    expect({700, 562}, windowBlue, ground);
    expect({700, 730}, windowBlue, ground);
    expect({95, 111}, panelYellow, QStringLiteral("level panel"));
    expect({460, 545}, panelYellow, QStringLiteral("level panel"));
    expect({95, 575}, panelYellow, QStringLiteral("orbit panel"));
    expect({465, 690}, panelYellow, QStringLiteral("orbit panel"));
    expect({511, 575}, panelYellow, QStringLiteral("series panel"));
    expect({945, 690}, panelYellow, QStringLiteral("series panel"));

    int headingRed = 0;
    for (int y = 24; y < 24 + 73; ++y) {
        for (int x = 240; x < 240 + 609; ++x) {
            headingRed += isColour(shot, origin + QPoint(x, y), pureRed) ? 1 : 0;
        }
    }
    if (headingRed < 200) {
        faults << QStringLiteral("only %1 red pixels in the heading").arg(headingRed);
    }

    // The nucleus: red inside, clear of it a little further out (the cross is black).
    const QPoint centre = atom->centre();
    for (const QPoint d : {QPoint(6, 6), QPoint(-6, 6), QPoint(6, -6), QPoint(-6, -6)}) {
        if (!isColour(shot, centre + d, pureRed)) {
            faults << QStringLiteral("nucleus not red at %1 from the centre").arg(describe(d));
        }
        if (!isColour(shot, centre + d * 3, white)) {
            faults << QStringLiteral("atom picture not white at %1 from the centre")
                          .arg(describe(d * 3));
        }
    }

    // Each orbit crosses every radius once, at its own distance from the centre.
    const std::array<QPoint, 4> directions{QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1),
                                           QPoint(0, -1)};
    for (const QPoint step : directions) {
        const int clear = 20; // past the nucleus and its cross
        const QList<double> crossings =
            inkCrossings(shot, centre + step * clear, step, atomInnerSide / 2 - clear);
        bool matches = crossings.size() == static_cast<qsizetype>(orbitRadii.size());
        for (qsizetype i = 0; matches && i < crossings.size(); ++i) {
            const double expected = orbitRadii[static_cast<std::size_t>(i)] * pixelsPerUnit;
            matches = std::abs(crossings[i] + clear - expected) <= 2.0;
        }
        if (!matches) {
            QStringList seen;
            for (const double c : crossings) {
                seen << QString::number(c + clear, 'f', 1);
            }
            faults << QStringLiteral("orbit crossings towards %1: [%2] px from the centre")
                          .arg(describe(step), seen.join(QStringLiteral(", ")));
        }
    }
    return faults;
}

// The electron in one screenshot, as an angle clockwise from the top of the atom.
struct ElectronSighting {
    int bluePixels = 0;
    std::optional<double> angleDegrees;
    QString fault;
};

ElectronSighting findElectron(const QImage& shot, const AtomArea& atom) {
    ElectronSighting sighting;
    const QPoint centre = atom.centre();
    const double pathRadius = orbitRadii.front() * pixelsPerUnit;
    QList<QPointF> near;
    int astray = 0;
    for (int y = 0; y < atomInnerSide; ++y) {
        for (int x = 0; x < atomInnerSide; ++x) {
            const QPoint at = atom.topLeft + QPoint(x, y);
            if (!isElectronBlue(shot.pixel(at))) {
                continue;
            }
            ++sighting.bluePixels;
            const QPointF d = at - centre;
            if (std::abs(std::hypot(d.x(), d.y()) - pathRadius) <= 15.0) {
                near << d;
            } else {
                ++astray;
            }
        }
    }
    if (sighting.bluePixels == 0) {
        return sighting;
    }
    if (astray > 0) {
        sighting.fault = QStringLiteral("%1 blue pixels away from orbit 1").arg(astray);
        return sighting;
    }
    QPointF mean;
    for (const QPointF& p : near) {
        mean += p;
    }
    mean /= static_cast<double>(near.size());
    for (const QPointF& p : near) {
        // One small ring: a trail or a second ring would spread the blue along the orbit.
        if (std::hypot(p.x() - mean.x(), p.y() - mean.y()) > 8.0) {
            sighting.fault = QStringLiteral("blue spread along the orbit, not one small ring");
            return sighting;
        }
    }
    const double distance = std::hypot(mean.x(), mean.y());
    if (std::abs(distance - pathRadius) > 3.0) {
        sighting.fault = QStringLiteral("ring centred %1 px from the centre").arg(distance);
        return sighting;
    }
    // Screen y grows downwards, so atan2(x, -y) runs clockwise from the top.
    const double angle = std::atan2(mean.x(), -mean.y()) * 180.0 / std::numbers::pi;
    sighting.angleDegrees = angle < 0 ? angle + 360.0 : angle;
    return sighting;
}

// Children die with the test, even when a timeout kills it before any cleanup runs.
void dieWithParent(QProcess& process) {
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
}

void stop(std::unique_ptr<QProcess>& process) {
    if (!process) {
        return;
    }
    if (process->state() != QProcess::NotRunning) {
        process->terminate();
        if (!process->waitForFinished(3000)) {
            process->kill();
            process->waitForFinished(3000);
        }
    }
    process.reset();
}

bool waitUntil(const std::function<bool()>& done, int timeoutMs, int pollMs = 100) {
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

// The state letter of /proc/<pid>/stat: 'T' once a stop signal has taken hold.
char processState(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) {
        return '?';
    }
    const QByteArray line = stat.readAll();
    const qsizetype afterName = line.lastIndexOf(')') + 2; // the name may hold spaces
    return afterName > 1 && afterName < line.size() ? line[afterName] : '?';
}

// Time the process's main thread has spent on a processor, from /proc/<pid>/schedstat.
std::optional<qint64> cpuTimeNs(qint64 pid) {
    QFile schedstat(QStringLiteral("/proc/%1/schedstat").arg(pid));
    if (!schedstat.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    bool ok = false;
    const qint64 ns = schedstat.readAll().split(' ').value(0).toLongLong(&ok);
    return ok ? std::optional(ns) : std::nullopt;
}

// Holds a process still for as long as it lives; it runs on again however the scope is left.
class Freeze {
public:
    explicit Freeze(qint64 pid) : m_pid(static_cast<pid_t>(pid)) { m_holds = stop(); }
    ~Freeze() { ::kill(m_pid, SIGCONT); }
    Freeze(const Freeze&) = delete;
    Freeze& operator=(const Freeze&) = delete;

    [[nodiscard]] bool holds() const { return m_holds; }

    // Lets the process run until its main thread has had about `cpuNs` on a processor (or for
    // `wallMs` at most, when the machine has no time for it) and holds it again. Returns how
    // long that thread ran in nanoseconds (no more than it was let go), or -1 when it will not
    // stop.
    qint64 runFor(qint64 cpuNs, int wallMs) {
        const std::optional<qint64> cpuBefore = cpuTimeNs(m_pid);
        QElapsedTimer clock;
        clock.start();
        ::kill(m_pid, SIGCONT);
        do {
            QThread::usleep(500);
        } while (clock.elapsed() < wallMs && cpuBefore &&
                 cpuTimeNs(m_pid).value_or(*cpuBefore) - *cpuBefore < cpuNs);
        m_holds = stop();
        const qint64 wall = clock.nsecsElapsed();
        const std::optional<qint64> cpuAfter = cpuTimeNs(m_pid);
        if (!m_holds) {
            return -1;
        }
        return cpuBefore && cpuAfter ? std::min(*cpuAfter - *cpuBefore, wall) : wall;
    }

private:
    bool stop() {
        ::kill(m_pid, SIGSTOP);
        return waitUntil([this] { return processState(m_pid) == 'T'; }, 2000, 1);
    }

    pid_t m_pid;
    bool m_holds = false;
};

// The program named by the Exec line of the menu entry installed under `prefix`, as a path.
QString menuCommand(const QString& prefix) {
    const QDir applications(prefix + QStringLiteral("/share/applications"));
    const QStringList entries = applications.entryList({QStringLiteral("*.desktop")});
    if (entries.size() != 1) {
        return QStringLiteral("(%1 menu entries installed)").arg(entries.size());
    }
    QFile entry(applications.filePath(entries.front()));
    if (!entry.open(QIODevice::ReadOnly)) {
        return {};
    }
    for (const QByteArray& line : entry.readAll().split('\n')) {
        if (line.startsWith("Exec=")) {
            const QString command = QString::fromUtf8(line.mid(5)).section(QLatin1Char(' '), 0, 0);
            return prefix + QStringLiteral("/bin/") + command;
        }
    }
    return {};
}

} // namespace

class EndToEndTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void windowIsNamedAndMaximised();
    void screenShowsTheLayout();
    void electronCirclesOrbitOneClockwise();
    void choosingASeriesRecoloursAndMovesTheElectron_data();
    void choosingASeriesRecoloursAndMovesTheElectron();
    void headingDoubleClickShowsTheNotice();
    void closingTheWindowEndsTheProgram();

private:
    struct ToolResult {
        int exitCode = -1;
        QString out;
        QString err;
    };
    ToolResult tool(const QString& program, const QStringList& args, int timeoutMs = 10000) const;
    [[nodiscard]] QStringList visibleWindows() const;
    [[nodiscard]] QString windowName(const QString& id) const;
    [[nodiscard]] QSize windowSize(const QString& id) const;
    [[nodiscard]] QString findWindow(const QString& title) const;
    [[nodiscard]] QImage grab(const QString& window = {}, QRect area = {}) const;
    QImage screenshot(const QString& name) const;
    void keep(const QImage& image, const QString& name) const;

    QProcessEnvironment m_env;
    QTemporaryDir m_scratch;
    QString m_outputDir = QStringLiteral(LUMERA_E2E_OUTPUT_DIR);
    std::unique_ptr<QProcess> m_xvfb;
    std::unique_ptr<QProcess> m_openbox;
    std::unique_ptr<QProcess> m_program;
    QString m_mainWindow;
    QString m_installedProgram;
};

EndToEndTest::ToolResult EndToEndTest::tool(const QString& program, const QStringList& args,
                                            int timeoutMs) const {
    QProcess process;
    process.setProcessEnvironment(m_env);
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

QStringList EndToEndTest::visibleWindows() const {
    const QString pid = QString::number(m_program->processId());
    const ToolResult found =
        tool(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                         QStringLiteral("--pid"), pid});
    return found.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString EndToEndTest::windowName(const QString& id) const {
    return tool(QStringLiteral("xdotool"), {QStringLiteral("getwindowname"), id}).out;
}

QSize EndToEndTest::windowSize(const QString& id) const {
    const ToolResult shell = tool(QStringLiteral("xdotool"), {QStringLiteral("getwindowgeometry"),
                                                              QStringLiteral("--shell"), id});
    QSize size;
    for (const QString& line : shell.out.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("WIDTH="))) {
            size.setWidth(line.mid(6).toInt());
        } else if (line.startsWith(QLatin1String("HEIGHT="))) {
            size.setHeight(line.mid(7).toInt());
        }
    }
    return size;
}

// xdotool's own name search can miss Cyrillic titles, so names are compared here.
QString EndToEndTest::findWindow(const QString& title) const {
    for (const QString& id : visibleWindows()) {
        if (windowName(id) == title) {
            return id;
        }
    }
    return {};
}

// The whole screen, or one window; xwd rather than ImageMagick, whose start-up alone would
// take longer than the program may run between two shots of the electron.
QImage EndToEndTest::grab(const QString& window, QRect area) const {
    QStringList args{QStringLiteral("-silent")};
    args << (window.isEmpty() ? QStringList{QStringLiteral("-root")}
                              : QStringList{QStringLiteral("-id"), window});
    QProcess xwd;
    xwd.setProcessEnvironment(m_env);
    xwd.start(QStringLiteral("xwd"), args);
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

void EndToEndTest::keep(const QImage& image, const QString& name) const {
    image.save(m_outputDir + QLatin1Char('/') + name + QStringLiteral(".png"));
}

QImage EndToEndTest::screenshot(const QString& name) const {
    QImage shot = grab();
    keep(shot, name);
    return shot;
}

void EndToEndTest::initTestCase() {
    for (const char* needed : {"Xvfb", "openbox", "xdotool", "xwd"}) {
        const QString name = QString::fromLatin1(needed);
        QVERIFY2(!QStandardPaths::findExecutable(name).isEmpty(),
                 qPrintable(name + QStringLiteral(" is missing: run scripts/install-deps")));
    }
    QVERIFY(m_scratch.isValid());
    QVERIFY(QDir().mkpath(m_outputDir));

    // Xvfb picks a free display itself and writes its number to the descriptor we give it.
    m_xvfb = std::make_unique<QProcess>();
    dieWithParent(*m_xvfb);
    // Its complaints go to a file: a pipe nobody reads could fill up and stall the server.
    const QString xvfbLog = m_scratch.filePath(QStringLiteral("Xvfb.log"));
    m_xvfb->setStandardErrorFile(xvfbLog);
    m_xvfb->start(QStringLiteral("Xvfb"),
                  {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                   QStringLiteral("0"),
                   QStringLiteral("%1x%2x24").arg(screenWidth).arg(screenHeight),
                   QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    QVERIFY2(m_xvfb->waitForStarted(5000), "Xvfb does not start");
    QByteArray displayNumber;
    QVERIFY2(waitUntil(
                 [&] {
                     m_xvfb->waitForReadyRead(100);
                     displayNumber += m_xvfb->readAllStandardOutput();
                     return displayNumber.contains('\n') || m_xvfb->state() == QProcess::NotRunning;
                 },
                 10000),
             "Xvfb never says which display it took");
    if (m_xvfb->state() != QProcess::Running) {
        QFile log(xvfbLog);
        log.open(QIODevice::ReadOnly);
        QFAIL(qPrintable(QStringLiteral("Xvfb stopped: ") + QString::fromLocal8Bit(log.readAll())));
    }
    const QString display = QStringLiteral(":") + QString::fromLatin1(displayNumber.trimmed());

    m_env = QProcessEnvironment::systemEnvironment();
    m_env.insert(QStringLiteral("DISPLAY"), display);
    m_env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    // Nobody's own openbox settings (key bindings, decorations) may change what is tested.
    m_env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_scratch.filePath(QStringLiteral("config")));

    // The program as a desktop starts it: installed, by the command of its menu entry.
    const QString prefix = m_scratch.filePath(QStringLiteral("prefix"));
    const ToolResult install = tool(QStringLiteral(LUMERA_CMAKE),
                                    {QStringLiteral("--install"), QStringLiteral(LUMERA_BUILD_DIR),
                                     QStringLiteral("--prefix"), prefix},
                                    60000);
    QVERIFY2(install.exitCode == 0, qPrintable(install.out + install.err));
    const QString program = menuCommand(prefix);
    QVERIFY2(QFileInfo(program).isExecutable(),
             qPrintable(
                 QStringLiteral("the menu entry starts %1, which is not installed").arg(program)));
    m_installedProgram = program;

    m_openbox = std::make_unique<QProcess>();
    dieWithParent(*m_openbox);
    m_openbox->setProcessEnvironment(m_env);
    m_openbox->setProcessChannelMode(QProcess::ForwardedChannels);
    m_openbox->start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
    QVERIFY2(m_openbox->waitForStarted(5000), "openbox does not start");
    QVERIFY2(waitUntil(
                 [&] {
                     return tool(QStringLiteral("xdotool"),
                                 {QStringLiteral("search"), QStringLiteral("--classname"),
                                  QStringLiteral("openbox")})
                                .exitCode == 0;
                 },
                 10000),
             "openbox never manages the screen");

    m_program = std::make_unique<QProcess>();
    dieWithParent(*m_program);
    m_program->setProcessEnvironment(m_env);
    m_program->setProcessChannelMode(QProcess::ForwardedChannels);
    m_program->start(m_installedProgram, {});
    QVERIFY2(m_program->waitForStarted(5000), "lumera does not start");
}

void EndToEndTest::cleanupTestCase() {
    stop(m_program);
    stop(m_openbox);
    stop(m_xvfb);
}

void EndToEndTest::windowIsNamedAndMaximised() {
    QVERIFY2(waitUntil([&] { return !visibleWindows().isEmpty(); }, 10000),
             "lumera shows no window");
    const QStringList windows = visibleWindows();
    QCOMPARE(windows.size(), 1);
    m_mainWindow = windows.front();
    QCOMPARE(windowName(m_mainWindow), mainTitle);

    // The window manager maximises the window some time after it is mapped.
    QSize size;
    const bool maximised = waitUntil(
        [&] {
            size = windowSize(m_mainWindow);
            return size.width() == screenWidth && size.height() >= 700;
        },
        5000);
    QVERIFY2(maximised, qPrintable(QStringLiteral("window is %1 x %2, not maximised")
                                       .arg(size.width())
                                       .arg(size.height())));
    QVERIFY(size.height() < screenHeight); // openbox keeps its title bar
}

void EndToEndTest::screenShowsTheLayout() {
    QVERIFY(!m_mainWindow.isEmpty());
    // The orbits are drawn on activation, a moment after the window appears.
    QStringList faults;
    QImage shot;
    const bool clean = waitUntil(
        [&] {
            shot = screenshot(QStringLiteral("e2e-window"));
            faults =
                shot.isNull() ? QStringList{QStringLiteral("no screenshot")} : layoutFaults(shot);
            return faults.isEmpty();
        },
        8000);
    QVERIFY2(clean, qPrintable(faults.join(QStringLiteral("; "))));
    QCOMPARE(shot.size(), QSize(screenWidth, screenHeight));
    // `make screenshot` keeps this one for the README and the software-centre entry.
    const QString docs = qEnvironmentVariable("LUMERA_SCREENSHOT_DIR");
    if (!docs.isEmpty()) {
        QVERIFY(shot.save(docs + QStringLiteral("/lumera-window.png")));
    }
}

void EndToEndTest::electronCirclesOrbitOneClockwise() {
    QVERIFY(!m_mainWindow.isEmpty());
    const std::optional<AtomArea> atom = findAtomArea(grab());
    QVERIFY2(atom, "no atom picture to watch");
    for (const QFileInfo& old : QDir(m_outputDir).entryInfoList({"e2e-electron-*.png"})) {
        QFile::remove(old.filePath());
    }

    // The program stands still while each shot is taken and gets about 5 ms of processor time
    // in between. A step of the revolution takes over 0.06 ms (300000 passes of its idle loop,
    // even at 5 GHz), so in 8 ms it turns less than half a turn: two neighbouring shots show
    // which way it goes, however fast or busy the machine. Longer runs and shots without the
    // ring (it is on the screen for part of each step) link nothing.
    constexpr int maxShots = 80;
    constexpr int wantedSteps = 3;
    constexpr qint64 longestRunNs = 8'000'000;
    constexpr double samePlace = 2.0; // degrees: one step of the revolution is 1
    int bluePixels = 0;
    int clockwiseSteps = 0;
    int kept = 0;
    double previous = 0; // the angle in the shot before, when that shot saw the ring
    bool previousSeen = false;
    QStringList seenAt;
    QList<double> places; // the different angles the ring was seen at
    Freeze held(m_program->processId());
    QVERIFY2(held.holds(), "the program does not stop for the shots");
    for (int shot = 0; shot < maxShots && (clockwiseSteps < wantedSteps || places.size() < 3);
         ++shot) {
        const qint64 ranNs = held.runFor(5'000'000, 50);
        QVERIFY2(ranNs >= 0, "the program does not stop for the shot");
        const QRect atomRect(atom->topLeft, QSize(atomInnerSide, atomInnerSide));
        const QImage image = grab({}, atomRect);
        QVERIFY(!image.isNull());
        const ElectronSighting seen = findElectron(image, *atom);
        QVERIFY2(seen.fault.isEmpty(),
                 qPrintable(QStringLiteral("shot %1: %2").arg(shot).arg(seen.fault)));
        bluePixels += seen.bluePixels;
        previousSeen = previousSeen && ranNs <= longestRunNs && seen.angleDegrees.has_value();
        if (!seen.angleDegrees) {
            continue;
        }
        const double angle = *seen.angleDegrees;
        seenAt << QStringLiteral("shot %1: %2°").arg(shot).arg(angle, 0, 'f', 0);
        if (std::ranges::none_of(places,
                                 [&](double p) { return std::abs(p - angle) <= samePlace; })) {
            places << angle;
        }
        if (kept < 6) {
            keep(image.copy(atomRect), QStringLiteral("e2e-electron-%1").arg(kept++));
        }
        if (previousSeen) {
            // Signed, in (-180, 180]: positive is clockwise on the screen.
            const double turn = 180.0 - std::fmod(540.0 - (angle - previous), 360.0);
            QVERIFY2(turn > -samePlace,
                     qPrintable(QStringLiteral("the ring turns anticlockwise: %1")
                                    .arg(seenAt.join(QStringLiteral(", ")))));
            clockwiseSteps += turn > samePlace ? 1 : 0;
        }
        previous = angle;
        previousSeen = true;
    }
    QVERIFY2(bluePixels > 0, "no blue pixel in the atom picture in any shot: no electron");
    qInfo().noquote() << "electron seen at" << seenAt.join(QStringLiteral(", "));
    QVERIFY2(places.size() >= 3 && clockwiseSteps >= wantedSteps,
             qPrintable(QStringLiteral("the ring does not go round: %1")
                            .arg(seenAt.join(QStringLiteral(", ")))));
}

void EndToEndTest::choosingASeriesRecoloursAndMovesTheElectron_data() {
    QTest::addColumn<int>("optionLeft");
    QTest::addColumn<int>("orbit");
    QTest::addColumn<QList<QColor>>("marks");
    QTest::addColumn<int>("wavelengthDigits");
    QTest::newRow("level 2") << 96 << 6 << QList<QColor>{Qt::red, Qt::green, Qt::cyan, Qt::blue}
                             << 3;
    const QColor magenta(255, 0, 255);
    QTest::newRow("level 6") << 392 << 14 << QList<QColor>{magenta, magenta, magenta, magenta} << 5;
}

void EndToEndTest::choosingASeriesRecoloursAndMovesTheElectron() {
    QFETCH(int, optionLeft);
    QFETCH(int, orbit);
    QFETCH(QList<QColor>, marks);
    QFETCH(int, wavelengthDigits);
    QVERIFY(!m_mainWindow.isEmpty());
    const std::optional<AtomArea> atom = findAtomArea(grab());
    QVERIFY2(atom, "no atom picture");
    const QPoint origin = atom->clientOrigin();
    const QPoint option = optionCentre(optionLeft);
    const ToolResult clicked =
        tool(QStringLiteral("xdotool"),
             {QStringLiteral("mousemove"), QStringLiteral("--window"), m_mainWindow,
              QString::number(option.x()), QString::number(option.y()), QStringLiteral("click"),
              QStringLiteral("1")});
    QVERIFY2(clicked.exitCode == 0, qPrintable(clicked.err));

    // The click is handled when the running revolution ends.
    QImage shot;
    const auto marksShown = [&] {
        shot = grab();
        for (int i = 0; i < 4; ++i) {
            const QPoint at =
                origin + QPoint(markColumns[static_cast<std::size_t>(i)], markSampleRow);
            if (!isColour(shot, at, marks[i])) {
                return false;
            }
        }
        return true;
    };
    QVERIFY2(
        waitUntil(marksShown, 5000),
        qPrintable(
            QStringLiteral("marks at row %1 are %2, %3, %4, %5")
                .arg(markSampleRow)
                .arg(describe(shot.pixelColor(origin + QPoint(markColumns[0], markSampleRow))),
                     describe(shot.pixelColor(origin + QPoint(markColumns[1], markSampleRow))),
                     describe(shot.pixelColor(origin + QPoint(markColumns[2], markSampleRow))),
                     describe(shot.pixelColor(origin + QPoint(markColumns[3], markSampleRow))))));
    keep(shot, QStringLiteral("e2e-series-level-%1").arg(orbit / 2 - 1));

    // Every digit of the first wavelength is on the screen: separate groups of inked columns.
    const QRect digits = firstWavelength.translated(origin);
    int groups = 0;
    bool inGroup = false;
    for (int x = digits.left(); x <= digits.right() + 1; ++x) {
        bool ink = false;
        for (int y = digits.top(); y <= digits.bottom() && x <= digits.right(); ++y) {
            ink = ink || isInk(shot.pixel(x, y));
        }
        groups += ink && !inGroup ? 1 : 0;
        inGroup = ink;
    }
    QCOMPARE(groups, wavelengthDigits);

    // The electron now circles the chosen orbit: every blue pixel lies on it.
    int sightings = 0;
    const double radius = orbit * pixelsPerUnit;
    for (int attempt = 0; attempt < 60 && sightings < 2; ++attempt) {
        const QRect area(atom->topLeft, QSize(atomInnerSide, atomInnerSide));
        const QImage picture = grab({}, area);
        QVERIFY(!picture.isNull());
        bool seen = false;
        const QPoint centre = atom->centre();
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                if (!isElectronBlue(picture.pixel(x, y))) {
                    continue;
                }
                const double d = std::hypot(x - centre.x(), y - centre.y());
                QVERIFY2(std::abs(d - radius) < 0.3 * pixelsPerUnit + 3,
                         qPrintable(QStringLiteral("blue pixel %1 px from the centre, orbit at %2")
                                        .arg(d)
                                        .arg(radius)));
                seen = true;
            }
        }
        sightings += seen ? 1 : 0;
    }
    QVERIFY2(sightings > 0, "no electron seen on the chosen orbit");
}

void EndToEndTest::headingDoubleClickShowsTheNotice() {
    QVERIFY(!m_mainWindow.isEmpty());
    QCOMPARE(findWindow(noticeTitle), QString());
    const ToolResult clicked =
        tool(QStringLiteral("xdotool"),
             {QStringLiteral("mousemove"), QStringLiteral("--window"), m_mainWindow,
              QString::number(headingCentre.x()), QString::number(headingCentre.y()),
              QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("2"),
              QStringLiteral("--delay"), QStringLiteral("80"), QStringLiteral("1")});
    QVERIFY2(clicked.exitCode == 0, qPrintable(clicked.err));

    QString notice;
    QVERIFY2(waitUntil([&] { return !(notice = findWindow(noticeTitle)).isEmpty(); }, 5000),
             "no notice after a double-click on the heading");
    // The box's own pixels: a root screenshot shows Qt dialogs black under Xvfb.
    keep(grab(notice), QStringLiteral("e2e-notice"));

    QCOMPARE(tool(QStringLiteral("xdotool"),
                  {QStringLiteral("windowactivate"), QStringLiteral("--sync"), notice})
                 .exitCode,
             0);
    QCOMPARE(
        tool(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Return")}).exitCode,
        0);
    QVERIFY2(waitUntil([&] { return findWindow(noticeTitle).isEmpty(); }, 5000),
             "Enter does not close the notice");
    // One double-click, one notice: none may follow the first.
    QTest::qWait(500);
    QCOMPARE(findWindow(noticeTitle), QString());
    QCOMPARE(m_program->state(), QProcess::Running);
}

void EndToEndTest::closingTheWindowEndsTheProgram() {
    QVERIFY(!m_mainWindow.isEmpty());
    QCOMPARE(m_program->state(), QProcess::Running);
    // Alt+F4 is openbox's close: the window gets the same request as from its close button.
    QCOMPARE(tool(QStringLiteral("xdotool"),
                  {QStringLiteral("windowactivate"), QStringLiteral("--sync"), m_mainWindow})
                 .exitCode,
             0);
    QCOMPARE(
        tool(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("alt+F4")}).exitCode,
        0);
    QVERIFY2(m_program->waitForFinished(5000), "lumera is still running after its window closed");
    QCOMPARE(m_program->exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_program->exitCode(), 0);
}

QTEST_GUILESS_MAIN(EndToEndTest)
#include "test_e2e.moc"
