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

// Whenever the desktop maximises or tiles the window (some do so only after it is first drawn):
// the design fills the window, centred, the atom drawn whole at that size and the electron seen
// going round it about as often as on openbox. A reader walks the window and chooses orbit 6.
// Made smaller by the window manager, the design follows.
void DesktopsTest::onEachDesktop_data() {
    addDesktopRows();
}

void DesktopsTest::onEachDesktop() {
    QFETCH(QString, desktopName);
    QFETCH(QSize, screenSize);
    Desktop screen(*desktop::desktopNamed(desktopName), screenSize);
    // weston's own log of the requests it receives, where the program is its Wayland client.
    const bool westonLog =
        screen.waylandAlone() && screen.type().programs().contains(u"weston-debug"_s);
    const bool onDefault = &screen.type() == &firstDesktop();
    const std::unique_ptr<QProcess> program = startWithReader(screen);
    QVERIFY(program);
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
        const double bound = sanitized ? 0.5 : 0.1;
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
    std::optional<SeenLayout> shown = seen;
    if (seen && screenSize.width() > 1300 && screen.resizeWindow(pid, QSize(1300, 900))) {
        shown = checkLayout(screen, pid, seen->client.size());
        QVERIFY(shown);
    }
    chooseOrbit6(screen, pid, shown);
    if (QTest::currentTestFailed()) {
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
