// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// On each desktop: the platform, the layout following the window, the electron, the reader's walk
// and orbit 6 chosen through its bus, and the end.
#include "desktops_test.h"

#include "atom_picture.h"
#include "desktop.h"
#include "series/series_table.h"

#include <QDir>
#include <QElapsedTimer>
#include <QHash>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <random>
#include <unistd.h>

using desktop::Desktop;
using namespace Qt::StringLiterals;

namespace {

// Some of the 25 lines of the window as a screen reader walks it before any choice, in their
// order: depth, role, name — description. The whole walk, in process: test_accessibility.
const QStringList readingOrder{
    u"0 frame: ЛЮМЕРА — Модель атома водорода по Бору"_s,
    u"1 panel: Схема энергетических уровней — Уровни энергии, переходы серии и длины волн её линий"_s,
    u"2 label: λ, 1 - 2 = %1 нм"_s.arg(series::seriesTable().front().wavelengths.front()),
    u"1 image: Атом водорода — Ядро, шесть орбит и электрон на орбите 1"_s,
    u"2 radio button: Орбита 6 — Серия Хэмфри: переходы на уровень 6"_s,
};

} // namespace

void DesktopsTest::onEachDesktop_data() {
    QTest::addColumn<QString>("desktopName");
    QTest::addColumn<QSize>("screenSize");
    const auto addRow = [](const desktop::DesktopType& type, const QString& size, QSize screen) {
        const QString name =
            type.title + size + (type.showsScreen() ? u""_s : u", no screenshot"_s);
        QTest::newRow(qPrintable(name)) << type.name << screen;
    };
    // The design's own size, on the default desktop; the README's picture is taken here.
    const QSize design(1024, 768);
    addRow(firstDesktop(), u", 1024x768"_s, design);
#ifdef LUMERA_SANITIZE
    // The sanitizer build's pass is about memory: each platform plugin once, as designed.
    addRow(firstDesktop(waylandAlone), u", 1024x768"_s, design);
#else
    for (const desktop::DesktopType& type : desktop::knownDesktops()) {
        addRow(type, {}, QSize(1920, 1080));
    }
#endif
}

// Whenever the desktop maximises or tiles the window (some do so only after it is first drawn):
// the design fills the window, centred, the atom drawn whole at that size and the electron seen
// going round it about as often as on openbox. A reader walks the window and chooses orbit 6.
// Made smaller by the window manager, the design follows.
void DesktopsTest::onEachDesktop() {
    QFETCH(QString, desktopName);
    QFETCH(QSize, screenSize);
    Desktop screen(*desktop::desktopNamed(desktopName), screenSize);
    // weston's own log of the requests it receives, where the program is its Wayland client.
    const bool westonLog =
        screen.waylandAlone() && screen.type().programs().contains(u"weston-debug"_s);
    const bool onDefault = &screen.type() == &firstDesktop();
    for (const QString& failed : {screen.start(), screen.startAccessibilityBus()}) {
        QVERIFY2(failed.isEmpty(), qPrintable(failed));
    }
    QProcessEnvironment extra;
    extra.insert(u"QT_LINUX_ACCESSIBILITY_ALWAYS_ON"_s, u"1"_s);
    extra.insert(u"LANG"_s, u"ru_RU.UTF-8"_s); // as a teacher runs it
    const std::unique_ptr<QProcess> program = start(screen, extra, QProcess::ForwardedErrorChannel);
    const qint64 pid = program->processId();
    QCOMPARE(loadedPlatform(pid), screen.waylandAlone() ? u"wayland"_s : u"xcb"_s);
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
        const bool decorates = screen.type().decorates;
        QCOMPARE(desktop::waitUntil(mapped, decorates ? 0 : 10000), !decorates);
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
    if (westonLog) {
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
    if (onDefault) {
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
    if (westonLog) {
        protocol = screen.launch(u"weston-debug"_s, {u"-o"_s, log, u"proto"_s});
        QTest::qWait(300);
    }
    if (onDefault) {
        // Alt+F4 is the default desktop's close (openbox's): the window gets the same request as
        // from its close button.
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
