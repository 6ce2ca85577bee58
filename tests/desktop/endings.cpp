// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// How the program ends on each signal and when its display server goes.
#include "desktops_test.h"

#include "atom_picture.h"
#include "desktop.h"

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

void DesktopsTest::endsAsPromised_data() {
    QTest::addColumn<int>("signal"); // 0: the display server is killed instead
    QTest::addColumn<QString>("desktopName");
    QTest::addColumn<QString>("noticer");  // of a lost X display, in a process of the test's
    QTest::addColumn<bool>("slowThreads"); // Qt's Wayland threads slowed where they meet the end
    const QString x11 =
        firstDesktop([](const auto& type) { return type.session == desktop::Session::X11; }).name;
    const QString wayland = firstDesktop(waylandAlone).name;
    QTest::newRow("SIGTERM, the session ends") << SIGTERM << x11 << "" << false;
    QTest::newRow("SIGINT, Ctrl+C in a terminal") << SIGINT << x11 << "" << false;
    QTest::newRow("SIGHUP, the terminal closes") << SIGHUP << x11 << "" << false;
    QTest::newRow("X11 lost, Qt's xcb notices") << 0 << x11 << "xcb" << false;
    QTest::newRow("X11 lost, Xlib notices") << 0 << x11 << "xlib" << false;
    QTest::newRow("X11 lost, the program") << 0 << x11 << "" << false;
    QTest::newRow("Wayland lost, the program") << 0 << wayland << "" << false;
    QTest::newRow("SIGTERM on Wayland, its threads slowed") << SIGTERM << wayland << "" << true;
}

// On each signal it closes on, the program closes its window as its close button does and ends
// with status 0. When its display server or compositor dies, it ends at once with status 1, and
// its one line says which display it lost, whichever connection noticed. On Wayland it ends
// cleanly however late Qt's threads run: slowed where they meet the end (the frame thread as the
// window goes, the event thread as it is stopped), it would otherwise fail nearly every time.
void DesktopsTest::endsAsPromised() {
    QFETCH(int, signal);
    QFETCH(QString, desktopName);
    QFETCH(QString, noticer);
    QFETCH(bool, slowThreads);
    Desktop screen(*desktop::desktopNamed(desktopName));
    const QString failed = screen.start();
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
    QProcessEnvironment extra;
    if (signal == 0) { // ended through exit(), with every object alive: no leaks to report
        extra.insert(u"LSAN_OPTIONS"_s, u"detect_leaks=0"_s);
    }
    if (slowThreads) {
        extra.insert(u"LD_PRELOAD"_s, QStringLiteral(LUMERA_SLOW_WAYLAND_THREADS));
        extra.insert(u"ASAN_OPTIONS"_s,
                     qEnvironmentVariable("ASAN_OPTIONS") + u":verify_asan_link_order=0"_s);
    }
    std::unique_ptr<QProcess> program;
    if (noticer.isEmpty()) {
        program = start(screen, extra, QProcess::SeparateChannels);
        QTest::qWait(1000); // the electron running
    } else {
        desktop::Launch how;
        how.extra = extra;
        how.channels = QProcess::SeparateChannels;
        program = screen.launch(QStringLiteral(LUMERA_LOSE_X_DISPLAY), {noticer}, how);
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
    if (signal != 0) {
        QVERIFY2(lines.isEmpty(), qPrintable(lines.join(u'\n')));
    } else {
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines.first().endsWith(u' ' + screen.displayName()), qPrintable(lines.first()));
    }
}
