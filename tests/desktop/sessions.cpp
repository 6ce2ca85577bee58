// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// Any session: a foreign locale, no home, a stopped X server, a screen reader and its lost bus.
#include "desktops_test.h"

#include "atom_picture.h"
#include "desktop.h"
#include "series/number_text.h"
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
    if (serverStopMs > 0 && sanitized) {
        QSKIP("a stopped server shows nothing more under the sanitizers");
    }
    Desktop screen(firstDesktop());
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
    const series::SeriesColumn& orbit3 = series::seriesTable().at(2);
    qsizetype at = 0;
    for (const QString& line :
         {u"ЛЮМЕРА frame."_s, u"Номер орбиты panel."_s, u"Орбита 3."_s, u"selected radio button"_s,
          u"Серия Пашена: переходы на уровень 3."_s,
          radiusPhrase(3) +
              u" СКОРОСТЬ ЭЛЕКТРОНА = %1 Мм/с ПОЛНАЯ ЭНЕРГИЯ = %2 эВ."_s.arg(
                  series::decimalText(orbit3.speed), series::decimalText(orbit3.energy))}) {
        at = said.indexOf(line, at);
        QVERIFY2(at >= 0, qPrintable(u"Orca never says %1 here; it said: %2"_s.arg(
                              line, said.join(u" | "_s))));
    }
}
