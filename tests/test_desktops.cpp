// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// The real program, installed and started by its menu entry, on the desktops people run: openbox,
// Xfce, KDE, GNOME, sway and weston, with X11, XWayland or Wayland alone. On each: the platform it
// lands on, the design filling the window and following it when the window manager changes its
// size, the electron on the screen, the window as a screen reader walks it, series 6 chosen
// through the reader's bus, and the end with status 0; for `make soak`, a school day on each. How
// it ends on each signal and when its display goes; any session, stopped X server or lost bus.
#include "atom_picture.h"
#include "desktop.h"
#include "host/platform/display_loss.h"
#include "host/platform/toolkit_setup.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QHash>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <X11/Xlib.h>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <random>
#include <unistd.h>

#ifndef LUMERA_BUILD_DIR
#error "LUMERA_BUILD_DIR must name the build tree whose program is installed and tested"
#endif

using desktop::Desktop;
using namespace Qt::StringLiterals;

namespace {

// Some of the 25 lines of the window as a screen reader walks it before any choice, in their
// order: depth, role, name — description. The whole walk, in process: test_accessibility.
const QStringList readingOrder{
    u"0 frame: ЛЮМЕРА — Модель атома водорода по Бору"_s,
    u"1 panel: Схема энергетических уровней — Уровни энергии, переходы серии и длины волн её линий"_s,
    u"2 label: λ, 1 - 2 = 121 нм"_s,
    u"1 image: Атом водорода — Ядро, шесть орбит и электрон на орбите 1"_s,
    u"2 radio button: Орбита 6 — Серия Хэмфри: переходы на уровень 6"_s,
};

// The radius a reader hears for each orbit.
const QStringList radiusPhrases{u"5,28"_s,  u"21,12"_s, u"47,52"_s,
                                u"84,48"_s, u"132"_s,   u"190,08"_s};

QString radiusPhrase(int orbit) {
    return u"РАДИУС ВРАЩЕНИЯ = %1 на десять в минус одиннадцатой степени метра"_s.arg(
        radiusPhrases.at(orbit - 1));
}

// How many times the design's 1043.7 × 721 pixels fit the client area, across and down.
double fitOf(QSize client) {
    return std::min(client.width() / 1043.667, client.height() / 721.0);
}

// The design as a screenshot shows it: the window's client area (all the window-blue ground the
// design lies on) and the atom picture's drawing area in it.
struct SeenLayout {
    QRect client;
    atom::Area atom;
    [[nodiscard]] double zoom() const { return atom.rect.width() / 448.0; }
    // Where the atom's centre lies from where it should: centred with the design, which is
    // zoomed to fit, or left at the corner as designed where it does not fit at all. That
    // centre lies 208 pixels right of the design's centre, and 30.7 above it, at zoom 1.
    [[nodiscard]] QPointF offCentre() const {
        const double z = std::max(1.0, fitOf(client.size()));
        const QPointF design = fitOf(client.size()) <= 1
                                   ? QRectF(client).topLeft() + QPointF(521.83, 360.5)
                                   : QRectF(client).center();
        return QRectF(atom.rect).center() - (design + QPointF(208 * z, -30.67 * z));
    }
    [[nodiscard]] bool fills() const {
        const QPointF off = offCentre();
        return std::abs(zoom() - std::max(1.0, fitOf(client.size()))) < 0.02 &&
               std::abs(off.x()) <= 3 && std::abs(off.y()) <= 3;
    }
};

std::optional<SeenLayout> seenLayout(const QImage& shot) {
    const QRgb ground = qRgb(0x8D, 0xA9, 0xD1);
    QRect client;
    for (int y = 0; y < shot.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(shot.constScanLine(y));
        for (int x = 0; x < shot.width(); ++x) {
            client |= row[x] == ground ? QRect(x, y, 1, 1) : QRect();
        }
    }
    const std::optional<atom::Area> area = atom::findArea(shot);
    if (client.isEmpty() || !area || !atom::drawingFaults(shot, *area).isEmpty()) {
        return std::nullopt;
    }
    return SeenLayout{client, *area};
}

// The electron in up to `shots` screenshots, `spacingMs` apart or as fast as they come, until
// it was seen in `wanted` places: how often it showed on the orbit of `radius`, where, and what
// else blue showed. A compositor that reads the window in the middle of a step shows a ring cut
// short now and then; a trail or a second ring shows in most.
struct Sightings {
    int seen = 0;
    QList<double> places;
    QStringList faults;
};

Sightings watch(const Desktop& screen, qint64 pid, const atom::Area& area, int radius, int shots,
                int spacingMs = 137, qsizetype wanted = 360) {
    Sightings sightings;
    QElapsedTimer clock;
    clock.start();
    for (int shot = 0; shot < shots && sightings.places.size() < wanted; ++shot) {
        QTest::qWait(int(std::max<qint64>(0, qint64{shot} * spacingMs - clock.elapsed())));
        const atom::ElectronSighting seen =
            atom::findElectron(screen.screenshot(pid), area, radius);
        sightings.seen += seen.angleDegrees ? 1 : 0;
        if (seen.angleDegrees && std::ranges::none_of(sightings.places, [&](double p) {
                return std::abs(p - *seen.angleDegrees) < 3;
            })) {
            sightings.places << *seen.angleDegrees;
        }
        sightings.faults << (seen.fault.isEmpty() ? QStringList() : QStringList{seen.fault});
    }
    return sightings;
}

// What a running process has mapped: /proc/PID/maps, or nothing once it is gone.
QByteArray mapsOf(qint64 pid) {
    QFile maps(u"/proc/%1/maps"_s.arg(pid));
    return maps.open(QIODevice::ReadOnly) ? maps.readAll() : QByteArray();
}

// Which Qt platform plugin a running process loaded: "xcb", "wayland", "offscreen" or empty.
QString loadedPlatform(qint64 pid) {
    const QByteArray text = mapsOf(pid);
    return text.contains("/platforms/libqxcb.so")         ? u"xcb"_s
           : text.contains("/platforms/libqwayland")      ? u"wayland"_s
           : text.contains("/platforms/libqoffscreen.so") ? u"offscreen"_s
                                                          : QString();
}

QString describe(const Sightings& s) {
    return u"the electron seen in %1 screenshots, in %2 places; %3"_s.arg(s.seen)
        .arg(s.places.size())
        .arg(s.faults.join(u"; "_s));
}

// Processor time of all the program's threads so far, in clock ticks (utime + stime).
qint64 processorTicks(qint64 pid) {
    QFile stat(u"/proc/%1/stat"_s.arg(pid));
    const QByteArray text = stat.open(QIODevice::ReadOnly) ? stat.readAll() : QByteArray();
    // The fields after the command's name, which may hold blanks: state is the first, utime the
    // twelfth.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 12 ? fields[11].toLongLong() + fields[12].toLongLong() : -1;
}

// The sizes of the program's shared-memory mappings of Wayland buffers (Qt's pools).
QList<qint64> waylandBufferSizes(qint64 pid) {
    QList<qint64> sizes;
    for (const QByteArray& line : mapsOf(pid).split('\n')) {
        if (line.contains("/memfd:wayland-shm")) {
            const QList<QByteArray> range = line.left(line.indexOf(' ')).split('-');
            sizes << range.value(1).toLongLong(nullptr, 16) -
                         range.value(0).toLongLong(nullptr, 16);
        }
    }
    return sizes;
}

// The first frame a client asked the compositor for and still waited for when it took a surface
// away, in weston's protocol log: Qt 6.4 may then destroy the frame's answer twice, and
// libwayland aborts. Empty if there is none.
QString frameUnansweredAtClose(const QByteArray& log) {
    static const QRegularExpression message(
        u"client ([0-9a-fx]+) (rq|ev) "
        u"(wl_surface@\\d+\\.(?:frame|destroy)|wl_callback@(\\d+)\\.done)"
        u"(?:\\(new id wl_callback@(\\d+))?"_s);
    QHash<QString, QSet<QString>> waiting; // callbacks by client
    for (const QString& line : QString::fromUtf8(log).split(u'\n')) {
        const QRegularExpressionMatch m = message.match(line);
        if (!m.hasMatch()) {
            continue;
        }
        QSet<QString>& callbacks = waiting[m.captured(1)];
        if (m.captured(3).endsWith(u".frame"_s)) {
            callbacks.insert(m.captured(5));
        } else if (m.captured(3).endsWith(u".done"_s)) {
            callbacks.remove(m.captured(4));
        } else if (!callbacks.isEmpty()) {
            return u"%1 went with frame %2 unanswered"_s.arg(m.captured(3), *callbacks.begin());
        }
    }
    return {};
}

// The program's resident memory and open files at a moment of a soak.
struct Sample {
    double minute = 0;
    qint64 residentKib = 0;
    QStringList files;
};

Sample sampleOf(qint64 pid, double minute) {
    QFile status(u"/proc/%1/status"_s.arg(pid));
    const QString text =
        status.open(QIODevice::ReadOnly) ? QString::fromUtf8(status.readAll()) : "";
    Sample sample{
        minute, QRegularExpression(u"VmRSS:\\s+(\\d+)"_s).match(text).captured(1).toLongLong(), {}};
    const QDir fds(u"/proc/%1/fd"_s.arg(pid));
    for (const QString& fd : fds.entryList(QDir::System | QDir::NoDotAndDotDot)) {
        sample.files << QFile::symLinkTarget(fds.filePath(fd));
    }
    sample.files.sort();
    return sample;
}

// The program's own start, as main() makes it, in a process whose X server the test kills and
// then tells to go on: with an Xlib call, as Qt's X platform makes now and then ("xlib"), or in
// the event loop, where Qt's xcb connection notices ("xcb").
int loseXDisplay(int argc, char* argv[]) {
    const bool xlib = std::string_view(argv[2]) == "xlib";
    host::prepareToolkit();
    host::nameLostDisplays();
    QApplication application(argc, argv);
    QWidget window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        return 2;
    }
    std::puts("shown");
    std::fflush(stdout);
    static_cast<void>(std::getchar());
    if (xlib) {
        XSync(qApp->nativeInterface<QNativeInterface::QX11Application>()->display(), False);
    }
    return QApplication::exec();
}

} // namespace

class DesktopsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void onEachDesktop_data();
    void onEachDesktop();
    void endsAsPromised_data();
    void endsAsPromised();
    void runsInAnySession_data();
    void runsInAnySession();

private:
    [[nodiscard]] std::unique_ptr<QProcess> start(const Desktop& screen, QProcessEnvironment extra,
                                                  QProcess::ProcessChannelMode channels,
                                                  const QStringList& unset = {}) const;
    std::optional<SeenLayout> checkLayout(const Desktop& screen, qint64 pid, QSize before);
    void chooseOrbit6(const Desktop& screen, qint64 pid, const std::optional<SeenLayout>& seen);
    void xWindowAndNotice(const Desktop& screen, qint64 pid, const atom::Area& area);
    void orcaReadsTheWindow(const Desktop& screen);
    void soak(const Desktop& screen, QProcess& program, const std::optional<SeenLayout>& seen,
              bool xInput);

    QTemporaryDir m_prefix;
    QString m_program;
};

void DesktopsTest::initTestCase() {
    // The program as a desktop starts it: installed, by the command of its menu entry.
    QProcess install;
    install.start(QStringLiteral(LUMERA_CMAKE),
                  {"--install", LUMERA_BUILD_DIR, "--prefix", m_prefix.path()});
    QVERIFY(install.waitForFinished(60000) && install.exitCode() == 0);
    const QDir menu(m_prefix.filePath(u"share/applications"_s));
    const QStringList entries = menu.entryList({u"*.desktop"_s});
    QCOMPARE(entries.size(), 1);
    const QString exec = QSettings(menu.filePath(entries.front()), QSettings::IniFormat)
                             .value(u"Desktop Entry/Exec"_s)
                             .toString();
    m_program = m_prefix.filePath(u"bin/"_s + exec.section(u' ', 0, 0));
    QVERIFY2(QFileInfo(m_program).isExecutable(), "the menu entry starts no installed program");
}

// The program in `screen`, once it has loaded its platform plugin.
std::unique_ptr<QProcess> DesktopsTest::start(const Desktop& screen, QProcessEnvironment extra,
                                              QProcess::ProcessChannelMode channels,
                                              const QStringList& unset) const {
    // In the sanitizer build, a leak of a GL driver unloaded before exit is traced whole, back to
    // the system library that its suppression names.
    if (const QString leaks = qEnvironmentVariable("LSAN_OPTIONS");
        !leaks.isEmpty() && !extra.contains(u"LSAN_OPTIONS"_s)) {
        extra.insert(u"LSAN_OPTIONS"_s, leaks + u":fast_unwind_on_malloc=0"_s);
    }
    // NAME=VALUE pairs the soak script adds (its heap profile's preloaded library).
    for (const QString& pair :
         qEnvironmentVariable("LUMERA_SOAK_ENV").split(u' ', Qt::SkipEmptyParts)) {
        extra.insert(pair.section(u'=', 0, 0), pair.section(u'=', 1));
    }
    desktop::Launch how;
    how.extra = extra;
    how.unset = unset;
    how.channels = channels;
    std::unique_ptr<QProcess> program = screen.launch(m_program, {}, how);
    const qint64 pid = program->processId();
    desktop::waitUntil([&] { return !loadedPlatform(pid).isEmpty(); }, 10000);
    return program;
}

void DesktopsTest::onEachDesktop_data() {
    QTest::addColumn<desktop::Kind>("kind");
    QTest::addColumn<QSize>("screenSize");
    QTest::addColumn<QString>("platform");
    using K = desktop::Kind;
    const QString x = u"xcb"_s;
    const QString wayland = u"wayland"_s;
    const QSize design(1024, 768);
    // The design's own size; the README's picture is taken here.
    QTest::newRow("openbox, X11, 1024x768") << K::XvfbOpenbox << design << x;
#ifdef LUMERA_SANITIZE
    // The sanitizer build's pass is about memory: each platform plugin once, as designed.
    QTest::newRow("weston, Wayland alone, 1024x768") << K::Weston << design << wayland;
#else
    const QSize hd(1920, 1080);
    QTest::newRow("openbox, X11") << K::XvfbOpenbox << hd << x;
    QTest::newRow("Xfce xfwm4, X11") << K::XvfbXfwm4 << hd << x;
    QTest::newRow("KDE KWin, X11") << K::XvfbKwin << hd << x;
    QTest::newRow("GNOME mutter, XWayland") << K::MutterXwayland << hd << x;
    QTest::newRow("KDE KWin, XWayland") << K::KwinXwayland << hd << x;
    QTest::newRow("sway, XWayland") << K::SwayXwayland << hd << x;
    QTest::newRow("weston, Wayland alone") << K::Weston << hd << wayland;
    QTest::newRow("KDE KWin, Wayland alone") << K::Kwin << hd << wayland;
    QTest::newRow("sway, Wayland alone") << K::Sway << hd << wayland;
    QTest::newRow("GNOME mutter, Wayland alone, no screenshot") << K::Mutter << hd << wayland;
#endif
}

// Whenever the desktop maximises or tiles the window (some do so only after it is first drawn):
// the design fills the window, centred, the atom drawn whole at that size and the electron seen
// going round it about as often as on openbox. A reader walks the window and chooses orbit 6.
// Made smaller by the window manager, the design follows.
void DesktopsTest::onEachDesktop() {
    QFETCH(desktop::Kind, kind);
    QFETCH(QSize, screenSize);
    QFETCH(QString, platform);
    Desktop screen(kind, screenSize);
    for (const QString& failed : {screen.start(), screen.startAccessibilityBus()}) {
        QVERIFY2(failed.isEmpty(), qPrintable(failed));
    }
    QProcessEnvironment extra;
    extra.insert(u"QT_LINUX_ACCESSIBILITY_ALWAYS_ON"_s, u"1"_s);
    extra.insert(u"LANG"_s, u"ru_RU.UTF-8"_s); // as a teacher runs it
    const std::unique_ptr<QProcess> program = start(screen, extra, QProcess::ForwardedErrorChannel);
    const qint64 pid = program->processId();
    QCOMPARE(loadedPlatform(pid), platform);
    const std::optional<SeenLayout> seen = checkLayout(screen, pid, {});
    if (QTest::currentTestFailed()) {
        return;
    }
    if (screen.waylandAlone()) {
        // Qt's OpenGL client is loaded only to ask whether Qt may draw a title bar (by the time
        // the window is drawn): it is left out where the compositor draws the title bar itself.
        const auto mapped = [&] {
            return mapsOf(pid).contains("wayland-graphics-integration-client");
        };
        const bool compositorDecorates = kind == desktop::Kind::Kwin || kind == desktop::Kind::Sway;
        QCOMPARE(desktop::waitUntil(mapped, compositorDecorates ? 0 : 10000), !compositorDecorates);
        // The atom picture has buffers of its own size: a frame copies its pixels alone, where
        // Qt would copy the whole window's before each paint.
        const double atomBytes = 4.0 * seen->atom.rect.width() * seen->atom.rect.height();
        const auto ownBuffers = [&] {
            const QList<qint64> sizes = waylandBufferSizes(pid);
            return std::any_of(sizes.begin(), sizes.end(), [&](qint64 size) {
                const auto bytes = static_cast<double>(size);
                return bytes > 0.9 * atomBytes && bytes < 1.1 * atomBytes;
            });
        };
        QVERIFY2(desktop::waitUntil(ownBuffers, 5000),
                 "the atom picture shares the window's buffers");
    }
    if (kind == desktop::Kind::Weston) {
        // Each frame reaches the compositor as it is made, not held back in the client and sent
        // in bursts: weston's own log of the requests it receives, for three seconds.
        const desktop::ToolResult log =
            screen.run(u"timeout"_s, {u"3"_s, u"weston-debug"_s, u"proto"_s}, 10000);
        const QRegularExpression commit(
            u"^\\[[^ ]+ \\d+:(\\d+):([\\d.]+)\\].* rq wl_surface@\\d+\\.commit\\(\\)"_s,
            QRegularExpression::MultilineOption);
        QList<double> at;
        for (const auto& match : commit.globalMatch(log.out)) {
            at << match.captured(1).toDouble() * 60 + match.captured(2).toDouble();
        }
        qsizetype bunched = 0;
        for (qsizetype i = 1; i < at.size(); ++i) {
            bunched += at[i] - at[i - 1] < 0.005 ? 1 : 0;
        }
        qInfo("%lld frames in 3 s, %lld of them within 5 ms of the one before", at.size(), bunched);
        QVERIFY2(at.size() >= 60 && bunched * 4 < at.size(), "frames sent in bursts");
    }
    if (seen) {
        // Nearly always on the screen: between two revolutions it is not, nor between two steps;
        // with the frames of a revolution held back, 0 to 2 of 20. Meanwhile the electron's waits
        // leave the processor free.
        const qint64 ticksBefore = processorTicks(pid);
        QElapsedTimer watched;
        watched.start();
        const Sightings electron = watch(screen, pid, seen->atom, 4, 20);
        const double share = double(processorTicks(pid) - ticksBefore) /
                             double(sysconf(_SC_CLK_TCK)) / (double(watched.elapsed()) / 1000);
        qInfo("%s; the program busy %.0f %% of the time", qPrintable(describe(electron)),
              share * 100);
        QVERIFY2(electron.seen >= 5 && electron.places.size() >= 3 && electron.faults.size() <= 2,
                 qPrintable(describe(electron)));
        // A tenth of a core at most while it goes round: its waits sleep, and on Wayland a frame
        // copies the atom picture's pixels, not the whole window's. The sanitizer build does
        // several times the work for each step.
        const double bound = qEnvironmentVariable("LSAN_OPTIONS").isEmpty() ? 0.1 : 0.5;
        QVERIFY2(share < bound, "the program keeps the processor busy while the electron runs");
    }
    if (kind == desktop::Kind::XvfbOpenbox) {
        xWindowAndNotice(screen, pid, seen->atom);
        if (QTest::currentTestFailed()) {
            return;
        }
    }
    // Made smaller while the electron is still on orbit 1: a new size takes effect when a
    // revolution ends, which there is 0.54 s away, and 2.7 s on orbit 6.
    const bool soaking = qEnvironmentVariableIntValue("LUMERA_SOAK_MINUTES") > 0;
    std::optional<SeenLayout> shown = seen;
    if (!soaking && seen && screenSize.width() > 1300 &&
        screen.resizeWindow(pid, QSize(1300, 900))) {
        shown = checkLayout(screen, pid, seen->client.size());
        QVERIFY(shown);
    }
    chooseOrbit6(screen, pid, shown);
    if (QTest::currentTestFailed()) {
        return;
    }
    if (soaking) {
        // xdotool's input on Xvfb
        soak(screen, *program, seen, screen.type().session == desktop::Session::X11);
        screen.killDisplayServer();
        QVERIFY2(program->waitForFinished(5000), "still running once its display went");
        QCOMPARE(program->exitCode(), 1);
        return;
    }
    // weston's own log of what each client asks and is told, over the close: to a file, since
    // weston writes it itself and would stall on a full pipe.
    QTemporaryDir logs;
    const QString log = logs.filePath(u"protocol"_s);
    std::unique_ptr<QProcess> protocol;
    if (kind == desktop::Kind::Weston) {
        protocol = screen.launch(u"weston-debug"_s, {u"-o"_s, log, u"proto"_s});
        QTest::qWait(300);
    }
    if (kind == desktop::Kind::XvfbOpenbox) {
        // Alt+F4 is openbox's close: the window gets the same request as from its close button.
        QCOMPARE(screen.run(u"xdotool"_s, {"key", "alt+F4"}).exitCode, 0);
    } else {
        program->terminate(); // the session ends
    }
    QVERIFY2(program->waitForFinished(10000), "lumera is still running");
    QCOMPARE(program->exitStatus(), QProcess::NormalExit);
    QCOMPARE(program->exitCode(), 0);
    if (protocol) {
        protocol->terminate();
        QVERIFY(protocol->waitForFinished(5000));
        QFile written(log);
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QString unanswered = frameUnansweredAtClose(written.readAll());
        QVERIFY2(unanswered.isEmpty(), qPrintable(unanswered));
    }
}

// The design filling the window, once the window manager has given it a size other than
// `before`, as the screen shows it (where it shows anybody).
std::optional<SeenLayout> DesktopsTest::checkLayout(const Desktop& screen, qint64 pid,
                                                    QSize before) {
    if (!screen.showsScreen()) {
        return std::nullopt;
    }
    std::optional<SeenLayout> seen;
    desktop::waitUntil(
        [&] {
            return (seen = seenLayout(screen.screenshot(pid))) && seen->client.size() != before &&
                   seen->fills();
        },
        30000, 200); // a compositor busy beside others shows a new size late
    const QString name = u"%1%2"_s.arg(QString::fromUtf8(QTest::currentDataTag()),
                                       before.isEmpty() ? u""_s : u" made smaller"_s);
    screen.screenshot(pid).save(QStringLiteral(LUMERA_BUILD_DIR "/desktop-%1.png")
                                    .arg(QString(name).remove(u',').replace(u' ', u'-')));
    if (!seen || seen->client.size() == before || !seen->fills()) {
        QTest::qFail(!seen ? "no window with the atom drawn whole on the screen"
                     : seen->client.size() == before
                         ? "the window keeps its size"
                         : "the design does not fill the window, centred",
                     __FILE__, __LINE__);
        return std::nullopt;
    }
    qInfo("client %dx%d, zoom %.3f, %.1f px off centre across, %.1f down", seen->client.width(),
          seen->client.height(), seen->zoom(), seen->offCentre().x(), seen->offCentre().y());
    return seen;
}

// Through the reader's bus: the window walked in reading order, orbit 6 pressed and its phrases
// told, the electron on orbit 6 and all four transition marks magenta.
void DesktopsTest::chooseOrbit6(const Desktop& screen, qint64 pid,
                                const std::optional<SeenLayout>& seen) {
    const auto walk = [&] {
        return screen.run(QStringLiteral(LUMERA_ATSPI), {QString::number(pid)}, 30000).out;
    };
    const QStringList walked = walk().split(u'\n');
    QCOMPARE(walked.size(), 25);
    for (qsizetype line = 0, at = 0; line < readingOrder.size(); ++line) {
        at = walked.indexOf(readingOrder[line], at);
        QVERIFY2(at >= 0, qPrintable(readingOrder[line]));
    }
    const desktop::ToolResult pressed =
        screen.run(QStringLiteral(LUMERA_ATSPI), {QString::number(pid), u"Орбита 6"_s}, 30000);
    QVERIFY2(pressed.exitCode == 0, qPrintable(pressed.err));
    // A reader following a phrase is told its new wording, not only the bare figure.
    for (const QString& told : {u"λ, 6 - 7 = 12363 нм"_s, u"λ, 6 - 10 = 5125 нм"_s}) {
        QVERIFY2(pressed.out.split(u'\n').contains(told), qPrintable(pressed.out));
    }
    // And told as fast as it asks: each of its questions is answered while the electron waits,
    // not at the electron's next step (7.5 ms on orbit 6, some 500 ms for the whole choice).
    QList<int> toldMs;
    for (const QString& line : pressed.err.split(u'\n')) {
        bool timed = false;
        const int ms = line.section(u' ', 0, 0).toInt(&timed);
        if (timed) {
            toldMs << ms;
        }
    }
    // The sanitizer build takes several times as long over each answer.
    const int spreadMs = qEnvironmentVariable("LSAN_OPTIONS").isEmpty() ? 300 : 1000;
    QVERIFY2(toldMs.size() >= 2 && toldMs.back() - toldMs.front() < spreadMs,
             qPrintable(pressed.err));
    QVERIFY(
        walk().contains(u"1 image: Атом водорода — Ядро, шесть орбит и электрон на орбите 6"_s));
    if (!seen) {
        return;
    }
    // The revolution that was running when the press came ends on orbit 1 first.
    const Sightings electron = watch(screen, pid, seen->atom, 14, 40, 0, 2);
    QVERIFY2(electron.places.size() >= 2 && electron.faults.size() <= 2,
             qPrintable(describe(electron)));
    // Line3 … Line6 sampled midway down the shortest, at their places in the design (the atom
    // picture's corner is at (506, 106)) times the zoom, give or take the rounding of the two.
    const QImage shot = screen.screenshot(pid);
    for (const int column : {186, 250, 322, 394}) {
        const QPoint at =
            seen->atom.rect.topLeft() + (QPoint(column, 340) - QPoint(506, 106)) * seen->zoom();
        bool magenta = false;
        for (int dx = -3; dx <= 3; ++dx) {
            magenta = magenta || shot.pixel(at.x() + dx, at.y()) == qRgb(255, 0, 255);
        }
        QVERIFY2(magenta, qPrintable(u"mark at x %1"_s.arg(column)));
    }
}

void DesktopsTest::endsAsPromised_data() {
    QTest::addColumn<int>("signal"); // 0: the display server is killed instead
    QTest::addColumn<desktop::Kind>("kind");
    QTest::addColumn<QString>("noticer"); // of a lost X display, in a process of the test's
    QTest::newRow("SIGTERM, the session ends") << SIGTERM << desktop::Kind::XvfbOpenbox << "";
    QTest::newRow("SIGINT, Ctrl+C in a terminal") << SIGINT << desktop::Kind::XvfbOpenbox << "";
    QTest::newRow("SIGHUP, the terminal closes") << SIGHUP << desktop::Kind::XvfbOpenbox << "";
    QTest::newRow("X11 lost, Qt's xcb notices") << 0 << desktop::Kind::XvfbOpenbox << "xcb";
    QTest::newRow("X11 lost, Xlib notices") << 0 << desktop::Kind::XvfbOpenbox << "xlib";
    QTest::newRow("X11 lost, the program") << 0 << desktop::Kind::XvfbOpenbox << "";
    QTest::newRow("Wayland lost, the program") << 0 << desktop::Kind::Weston << "";
}

// On each signal it closes on, the program closes its window as its close button does and ends
// with status 0. When its display server or compositor dies, it ends at once with status 1, and
// its one line says which display it lost, whichever connection noticed.
void DesktopsTest::endsAsPromised() {
    QFETCH(int, signal);
    QFETCH(desktop::Kind, kind);
    QFETCH(QString, noticer);
    Desktop screen(kind);
    const QString failed = screen.start();
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
    QProcessEnvironment extra;
    if (signal == 0) { // ended through exit(), with every object alive: no leaks to report
        extra.insert(u"LSAN_OPTIONS"_s, u"detect_leaks=0"_s);
    }
    std::unique_ptr<QProcess> program;
    if (noticer.isEmpty()) {
        program = start(screen, extra, QProcess::SeparateChannels);
        QTest::qWait(1000); // the electron running
    } else {
        desktop::Launch how;
        how.extra = extra;
        how.channels = QProcess::SeparateChannels;
        program = screen.launch(QCoreApplication::applicationFilePath(),
                                {u"--lose-x-display"_s, noticer}, how);
        QVERIFY(program->waitForReadyRead(10000) && program->readAll().startsWith("shown"));
    }
    if (signal != 0) {
        ::kill(static_cast<pid_t>(program->processId()), signal);
    } else {
        screen.killDisplayServer();
        program->write("\n");
    }
    QVERIFY2(program->waitForFinished(signal != 0 ? 10000 : 2000), "still running");
    QCOMPARE(program->exitStatus(), QProcess::NormalExit);
    QCOMPARE(program->exitCode(), signal != 0 ? 0 : 1);
    const QStringList lines =
        QString::fromLocal8Bit(program->readAllStandardError()).split(u'\n', Qt::SkipEmptyParts);
    if (signal == 0) {
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines.first().endsWith(u' ' + screen.displayName()), qPrintable(lines.first()));
    }
}

void DesktopsTest::runsInAnySession_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<QStringList>("unset");
    QTest::addColumn<int>("serverStopMs");
    QTest::addColumn<bool>("reader");
    QTest::addColumn<QString>("warning"); // of the toolkit's, on standard error
    QTest::newRow("LANG=C") << u"C"_s << QStringList() << 0 << false << u""_s;
    QTest::newRow("LANG=de_DE.UTF-8") << u"de_DE.UTF-8"_s << QStringList() << 0 << false << u""_s;
    QTest::newRow("no HOME, no XDG_RUNTIME_DIR")
        << u"C.UTF-8"_s << QStringList{u"HOME"_s, u"XDG_RUNTIME_DIR"_s} << 0 << false
        << u"QStandardPaths: XDG_RUNTIME_DIR not set"_s;
    QTest::newRow("X server stopped 20 s")
        << u"C.UTF-8"_s << QStringList() << 20000 << false << u""_s;
    QTest::newRow("read by Orca, its bus lost")
        << u"ru_RU.UTF-8"_s << QStringList() << 0 << true << u""_s;
}

// A locale the program knows nothing of, a session without a home or runtime directory (the
// toolkit says so, through the program's message handler), an X server stopped (SIGSTOP) in the
// middle of a revolution and let go on, or a screen reader whose accessibility bus dies and is
// started anew: the program draws the atom, runs the electron, answers a double-click and ends as
// asked. (Qt 6.4 joins the bus once, at the start: the new bus does not find it.)
void DesktopsTest::runsInAnySession() {
    QFETCH(QString, language);
    QFETCH(QStringList, unset);
    QFETCH(int, serverStopMs);
    QFETCH(bool, reader);
    QFETCH(QString, warning);
    if (serverStopMs > 0 && !qEnvironmentVariable("LSAN_OPTIONS").isEmpty()) {
        QSKIP("a stopped server shows nothing more under the sanitizers");
    }
    Desktop screen(desktop::Kind::XvfbOpenbox);
    for (const QString& failed : {screen.start(), reader ? screen.startAccessibilityBus() : ""}) {
        QVERIFY2(failed.isEmpty(), qPrintable(failed));
    }
    QProcessEnvironment extra;
    extra.insert(u"LANG"_s, language);
    extra.insert(u"LC_ALL"_s, language);
    if (reader) {
        extra.insert(u"QT_LINUX_ACCESSIBILITY_ALWAYS_ON"_s, u"1"_s);
    }
    const std::unique_ptr<QProcess> program =
        start(screen, extra, QProcess::SeparateChannels, unset);
    const std::optional<SeenLayout> seen = checkLayout(screen, program->processId(), {});
    QVERIFY(seen);
    if (reader) {
        orcaReadsTheWindow(screen);
        screen.killAccessibilityBus();
        screen.restartAccessibilityBus();
    }
    if (serverStopMs > 0) {
        screen.freezeDisplayServer(serverStopMs);
    }
    const int orbit = reader ? 8 : 4; // Orca chose orbit 3
    const Sightings electron = watch(screen, program->processId(), seen->atom, orbit, 100, 0, 3);
    QVERIFY2(electron.places.size() >= 3 && electron.faults.isEmpty(),
             qPrintable(describe(electron)));
    xWindowAndNotice(screen, program->processId(), seen->atom);
    program->terminate(); // the session ends
    QVERIFY2(program->waitForFinished(10000), "lumera is still running");
    QCOMPARE(program->exitCode(), 0);
    const QString said = QString::fromLocal8Bit(program->readAllStandardError());
    QVERIFY2(said.contains(warning), qPrintable(said));
}

// Orca, as a blind teacher runs it, moves through the window with Tab and the arrow keys and
// chooses orbit 3: it says the window, the panels, the button with its series and state, and the
// new phrases. (Its speech goes to its debug file only: no sound card here.)
void DesktopsTest::orcaReadsTheWindow(const Desktop& screen) {
    // A key is answered when the running revolution ends, and Orca says only where the last of
    // a batch went: a key a second on orbit 1 (0.54 s a revolution), two once orbit 3 (1.44 s)
    // is chosen.
    const QStringList keys{"Tab", "Tab", "Tab", "Tab", "Right", "--pause=2", "Right", "Tab", "Tab"};
    const desktop::ToolResult orca = screen.run(QStringLiteral(LUMERA_ORCA), keys, 60000);
    QVERIFY2(orca.exitCode == 0, qPrintable(orca.err));
    const QStringList said = orca.out.split(u'\n');
    qsizetype at = 0;
    for (const QString& line :
         {u"ЛЮМЕРА frame."_s, u"Номер орбиты panel."_s, u"Орбита 3."_s, u"selected radio button"_s,
          u"Серия Пашена: переходы на уровень 3."_s,
          radiusPhrase(3) + u" СКОРОСТЬ ЭЛЕКТРОНА = 0,73 Мм/с ПОЛНАЯ ЭНЕРГИЯ = -1,51 эВ."_s}) {
        at = said.indexOf(line, at);
        QVERIFY2(at >= 0, qPrintable(u"Orca never says %1 here; it said: %2"_s.arg(
                              line, said.join(u" | "_s))));
    }
}

// On X: the window titled, as wide as the screen it is maximised on, and the notice from a
// double-click on the heading, closed with Enter.
void DesktopsTest::xWindowAndNotice(const Desktop& screen, qint64 pid, const atom::Area& area) {
    const auto xdotool = [&](const QStringList& args) { return screen.run(u"xdotool"_s, args); };
    // xdotool's own name search can miss Cyrillic titles, so names are compared here.
    const auto windowTitled = [&](const QString& title) {
        const QString ids = xdotool({"search", "--onlyvisible", "--pid", QString::number(pid)}).out;
        for (const QString& id : ids.split(u'\n', Qt::SkipEmptyParts)) {
            if (xdotool({"getwindowname", id}).out == title) {
                return id;
            }
        }
        return QString();
    };
    const QString window = windowTitled(u"ЛЮМЕРА"_s);
    QVERIFY2(!window.isEmpty(), "no window titled ЛЮМЕРА");
    const QString geometry = xdotool({"getwindowgeometry", "--shell", window}).out;
    QCOMPARE(geometry.section(u"WIDTH="_s, 1).section(u'\n', 0, 0).toInt(),
             screen.screenshot().width());
    // The heading, Label1, is centred at (544, 60) in the window as designed.
    const QPoint heading =
        area.rect.topLeft() + (QPoint(544, 60) - QPoint(506, 106)) * (area.rect.width() / 448.0);
    QCOMPARE(xdotool({"mousemove", QString::number(heading.x()), QString::number(heading.y()),
                      "click", "--repeat", "2", "--delay", "80", "1"})
                 .exitCode,
             0);
    const QString notice = u"Прудупреждение"_s;
    QVERIFY2(desktop::waitUntil([&] { return !windowTitled(notice).isEmpty(); }, 5000),
             "no notice after a double-click on the heading");
    xdotool({"windowactivate", "--sync", windowTitled(notice)});
    xdotool({"key", "Return"});
    QVERIFY2(desktop::waitUntil([&] { return windowTitled(notice).isEmpty(); }, 5000),
             "Enter does not close the notice");
    xdotool({"windowactivate", "--sync", window});
}

// A school day in LUMERA_SOAK_MINUTES (make soak): orbits pressed through the reader's bus at
// random moments, each press timed until the radius phrase is renamed; on X also the notice; the
// display server stopped for seconds now and then. Resident memory and open files
// stay flat after the first minute; at the end the screen agrees with the last press, and when
// the display server dies the program ends naming it.
void DesktopsTest::soak(const Desktop& screen, QProcess& program,
                        const std::optional<SeenLayout>& seen, bool xInput) {
    const qint64 pid = program.processId();
    bool given = false;
    quint64 startValue = qEnvironmentVariable("LUMERA_SOAK_START").toULongLong(&given);
    startValue = given ? startValue : QRandomGenerator::system()->generate64();
    qInfo("soak: random start value %llu (LUMERA_SOAK_START)", startValue);
    // One sequence a desktop, from the one start value.
    std::mt19937_64 random(startValue + qHash(QByteArray(QTest::currentDataTag())));
    const auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    int orbit = 6;
    QList<int> pressMs;
    QMap<QString, int> done;
    const auto press = [&](int to) {
        const desktop::ToolResult told =
            screen.run(QStringLiteral(LUMERA_ATSPI), {QString::number(pid), u"Орбита %1"_s.arg(to)},
                       90000); // a desktop busy beside others answers slowly, yet answers
        for (const QString& line : told.err.split(u'\n')) {
            if (line.section(u' ', 1) == radiusPhrase(to)) {
                pressMs << line.section(u' ', 0, 0).toInt();
                orbit = to;
                return ++done[u"bus press"_s] > 0;
            }
        }
        qWarning("orbit %d pressed, told: %s", to, qPrintable(told.out + told.err));
        return false;
    };
    QElapsedTimer clock;
    clock.start();
    for (const int to : {1, 2, 3, 4, 5}) { // in the first minute, everything once
        QVERIFY(press(to));
    }
    if (xInput) {
        xWindowAndNotice(screen, pid, seen->atom);
    }
    screen.freezeDisplayServer(5000);
    QList<Sample> samples;
    const qint64 end = qEnvironmentVariableIntValue("LUMERA_SOAK_MINUTES") * qint64{60000};
    while (clock.elapsed() < end && !QTest::currentTestFailed()) {
        if (clock.elapsed() >= qint64(samples.size()) * 30000) {
            QVERIFY2(program.state() == QProcess::Running, "the program ended");
            samples << sampleOf(pid, double(clock.elapsed()) / 60000);
            qInfo("minute %.1f: %lld KiB resident, %lld files open", samples.back().minute,
                  samples.back().residentKib, qsizetype(samples.back().files.size()));
        }
        const int roll = pick(0, 99);
        if (roll < 40) {
            QVERIFY(press((orbit + pick(0, 4)) % 6 + 1)); // never the orbit shown
        } else if (roll < 44) {
            screen.freezeDisplayServer(pick(2000, 10000));
            ++done[u"display server stopped"_s];
        } else if (xInput && roll < 50) {
            xWindowAndNotice(screen, pid, seen->atom);
            ++done[u"notice"_s];
        }
        QTest::qWait(pick(1000, 4000));
    }
    QVERIFY(!QTest::currentTestFailed());
    samples << sampleOf(pid, double(clock.elapsed()) / 60000);
    std::ranges::sort(pressMs);
    QStringList counts;
    for (auto kind = done.cbegin(); kind != done.cend(); ++kind) {
        counts << u"%1 × %2"_s.arg(kind.value()).arg(kind.key());
    }
    // Settled in the first minute, with Wayland alone too: a frame's changes are one dirty
    // rectangle, not a region grown and reallocated at each, whose churn kept resident memory
    // growing for minutes.
    const auto settled =
        std::ranges::find_if(samples, [](const Sample& s) { return s.minute >= 1; });
    QVERIFY(settled != samples.end());
    const Sample& most =
        *std::ranges::max_element(settled, samples.end(), {}, &Sample::residentKib);
    qInfo("soak: %.1f minutes; %s; presses answered in %d ms (median), %d ms (slowest); "
          "resident %lld KiB at minute %.1f, at most %lld after, %lld at the end; files open %lld, "
          "then %lld",
          samples.back().minute, qPrintable(counts.join(u", "_s)),
          pressMs.value(pressMs.size() / 2), pressMs.value(pressMs.size() - 1),
          settled->residentKib, settled->minute, most.residentKib, samples.back().residentKib,
          qsizetype(settled->files.size()), qsizetype(samples.back().files.size()));
    QVERIFY2(most.residentKib - settled->residentKib <= 512,
             "resident memory grew after the first minute");
    QVERIFY2(samples.back().files.size() <= settled->files.size(),
             qPrintable(samples.back().files.join(u", "_s)));
    const int last = orbit == 5 ? 3 : 5;
    QVERIFY(press(last));
    if (seen) {
        const Sightings electron = watch(screen, pid, seen->atom, 2 * last + 2, 40, 0, 2);
        QVERIFY2(electron.places.size() >= 2, qPrintable(describe(electron)));
    }
}

int main(int argc, char* argv[]) {
    if (argc == 3 && std::string_view(argv[1]) == "--lose-x-display") {
        return loseXDisplay(argc, argv);
    }
    const QCoreApplication application(argc, argv);
    DesktopsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_desktops.moc"
