// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// The Windows package under Wine, on openbox: the MSI installed silently into Program Files, the
// installed program's window read off the screen at two sizes, its notice and its close, and the
// MSI removed again without a trace.
#include "desktop_probes.h"
#include "program_on_desktops.h"
#include "series/series_table.h"
#include "ui/control_names.h"
#include "ui/series_fields.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Where the MSI puts the program, in the prefix's own drive C.
const QString programFolder = u"drive_c/Program Files/Lumera"_s;

// Degrees a second on orbit 3: a revolution of 1.44 s.
constexpr double orbit3Pace = 360 / 1.44;

// A Linux path as a Windows program names it: Wine's drive Z is the root.
QString windowsPath(const QString& path) {
    return u"Z:"_s + QString(path).replace(u'/', u'\\');
}

QString windowsBuild() {
    const QString set = qEnvironmentVariable("LUMERA_WINDOWS_BUILD");
    return set.isEmpty() ? QStringLiteral(LUMERA_SOURCE_DIR "/build/windows") : set;
}

// A control's rectangle on the screen, from the atom picture's place.
QRect onScreen(const atom::Area& area, const char* control) {
    const QRectF designed = designRect(control);
    return {onScreen(area, designed.topLeft()), onScreen(area, designed.bottomRight())};
}

// The electron's pace on the orbit of `radius`, from screenshots as fast as they come: the median
// of the angle gone between two of one revolution over the time between them; 0 if it was seen
// too seldom.
double paceOn(const Desktop& screen, const atom::Area& area, int radius) {
    QList<double> paces;
    QElapsedTimer clock;
    clock.start();
    double lastAngle = -1; // none yet, or the electron was not seen
    qint64 lastAt = 0;
    while (clock.elapsed() < 8000 && paces.size() < 15) {
        const qint64 at = clock.elapsed();
        const double angle =
            atom::findElectron(screen.screenshot(), area, radius).angleDegrees.value_or(-1);
        if (lastAngle >= 0 && angle > lastAngle && at - lastAt < 500) {
            paces << (angle - lastAngle) / double(at - lastAt) * 1000;
        }
        lastAngle = angle;
        lastAt = at;
    }
    std::ranges::sort(paces);
    return paces.size() < 5 ? 0 : paces[paces.size() / 2];
}

} // namespace

class WineTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void installedWhole();
    void windowOnScreen_data();
    void windowOnScreen();
    void uninstallLeavesNothing();
    void cleanupTestCase();

private:
    // Runs a Windows program (or one of Wine's) in the test's prefix, outside any desktop.
    desktop::ToolResult wine(const QStringList& args, int timeoutMs = 120000) const;
    // Ends every process of the prefix, Wine's own included.
    void endWine() const;
    // The Start menu's entries: all users' on Windows; Wine keeps them in the user's own.
    [[nodiscard]] QStringList menuEntries() const;
    [[nodiscard]] QString installed(const QString& file) const {
        return m_prefix.filePath(programFolder + u'/' + file);
    }

    QTemporaryDir m_prefix;
    QString m_msi;
};

desktop::ToolResult WineTest::wine(const QStringList& args, int timeoutMs) const {
    QProcess process;
    process.start(QStringLiteral(LUMERA_WINE_RUN), QStringList{m_prefix.path()} + args);
    const bool ended = process.waitForFinished(timeoutMs);
    if (!ended) {
        process.kill();
        process.waitForFinished();
    }
    // Wine's own processes started with it know no display; a program in a desktop would join
    // them and show no window.
    endWine();
    return {ended && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QStringList WineTest::menuEntries() const {
    QStringList found;
    QDirIterator entries(m_prefix.filePath(u"drive_c"_s), {u"Lumera.lnk"_s}, QDir::Files,
                         QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        found << entries.next();
    }
    return found.filter(u"/Start Menu/Programs/"_s);
}

void WineTest::endWine() const {
    QProcess server;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"WINEPREFIX"_s, m_prefix.path());
    server.setProcessEnvironment(environment);
    server.start(u"wineserver"_s, {u"--kill"_s});
    server.waitForFinished(30000);
}

void WineTest::initTestCase() {
    const QStringList packages =
        QDir(windowsBuild()).entryList({u"lumera-*-win64.msi"_s}, QDir::Files, QDir::Time);
    QVERIFY2(!packages.isEmpty(),
             qPrintable(u"no MSI in %1: make package-windows first"_s.arg(windowsBuild())));
    m_msi = QDir(windowsBuild()).filePath(packages.front());
    // As Group Policy deploys it: silently, for the whole machine.
    const desktop::ToolResult install = wine({u"msiexec"_s, u"/i"_s, windowsPath(m_msi), u"/qn"_s});
    QVERIFY2(install.exitCode == 0, qPrintable(install.err));
}

// Everything the program needs on a computer that has nothing else, where it belongs, and the
// entries a teacher and the school's IT find it by.
void WineTest::installedWhole() {
    for (const QString& file :
         {u"lumera.exe"_s, u"Qt6Core.dll"_s, u"Qt6Gui.dll"_s, u"Qt6Widgets.dll"_s,
          u"libstdc++-6.dll"_s, u"libgcc_s_seh-1.dll"_s, u"libwinpthread-1.dll"_s,
          u"platforms/qwindows.dll"_s, u"styles/qwindowsvistastyle.dll"_s,
          u"imageformats/qico.dll"_s, u"NOTICE.txt"_s, u"licenses/LGPL-3.txt"_s}) {
        QVERIFY2(QFileInfo::exists(installed(file)), qPrintable(file));
    }
    QCOMPARE(menuEntries().size(), 1);
    const desktop::ToolResult entry =
        wine({u"reg"_s, u"query"_s,
              u"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"_s, u"/s"_s});
    QVERIFY2(entry.out.contains(QRegularExpression(u"DisplayName +REG_SZ +Lumera"_s)),
             "no entry in Apps & features");
}

void WineTest::windowOnScreen_data() {
    QTest::addColumn<QSize>("screenSize");
    QTest::newRow("1024x768") << QSize(1024, 768);
    QTest::newRow("1920x1080") << QSize(1920, 1080);
}

// The installed program as the Start menu starts it: maximised with the design zoomed to fit,
// the electron going round orbit 1, orbit 3 chosen with a click and gone round at its pace, the
// notice from a double-click on the heading, and the window closed as its close button does,
// with status 0.
void WineTest::windowOnScreen() {
    QFETCH(QSize, screenSize);
    // Each desktop's display is new to Wine: its processes start again in it.
    endWine();
    Desktop screen(firstDesktop(), screenSize);
    QCOMPARE(screen.start(), QString());
    desktop::Launch how;
    how.channels = QProcess::SeparateChannels;
    std::unique_ptr<QProcess> program =
        screen.launch(QStringLiteral(LUMERA_WINE_RUN),
                      {m_prefix.path(), u"C:\\Program Files\\Lumera\\lumera.exe"_s}, how);
    std::optional<SeenLayout> seen;
    desktop::waitUntil([&] { return (seen = seenLayout(screen.screenshot())) && seen->fills(); },
                       60000, 250);
    screen.screenshot().save(u"%1/wine-%2x%3.png"_s.arg(windowsBuild())
                                 .arg(screenSize.width())
                                 .arg(screenSize.height()));
    QVERIFY2(seen && seen->fills(), qPrintable(QString::fromUtf8(program->readAllStandardError())));
    const QString window = xWindowTitled(screen, u"ЛЮМЕРА"_s);
    QVERIFY2(!window.isEmpty(), "no window titled ЛЮМЕРА");
    qInfo("client %dx%d, zoom %.3f", seen->client.width(), seen->client.height(), seen->zoom());

    // The six orbits and the electron going round the first.
    const Sightings onOrbit1 = watch(screen, 0, seen->atom, atom::orbitRadii[0], 20);
    QVERIFY2(onOrbit1.seen >= 5 && onOrbit1.places.size() >= 3 && onOrbit1.faults.size() <= 2,
             qPrintable(describe(onOrbit1)));

    // Orbit 3, clicked: the electron moves to it and the figures are written anew.
    const auto figures = [&](const QImage& shot) {
        QList<QImage> shown;
        const ui::SeriesFieldNames& fields = ui::seriesFieldNames;
        for (const char* label : {fields.radius, fields.speed, fields.energy, fields.wavelengths[0],
                                  fields.wavelengths[3]}) {
            shown << shot.copy(onScreen(seen->atom, label));
        }
        return shown;
    };
    const QList<QImage> before = figures(screen.screenshot());
    const QPoint option3 = onScreen(seen->atom, designRect(ui::names::option3).center());
    QCOMPARE(screen
                 .run(u"xdotool"_s, {"mousemove", QString::number(option3.x()),
                                     QString::number(option3.y()), "click", "1"})
                 .exitCode,
             0);
    const Sightings electron = watch(screen, 0, seen->atom, atom::orbitRadii[2], 60, 50, 3);
    QVERIFY2(electron.places.size() >= 3, qPrintable(describe(electron)));
    // At its pace, 1.44 s a revolution, measured where a screenshot of the whole screen, slow
    // as it is, still sees less than half a revolution go by.
    const double pace = paceOn(screen, seen->atom, atom::orbitRadii[2]);
    qInfo("orbit 3 at %.0f degrees a second (nominal %.0f)", pace, orbit3Pace);
    QVERIFY2(pace > 0.8 * orbit3Pace && pace < 1.2 * orbit3Pace, "the electron's pace is off");
    const QList<QImage> after = figures(screen.screenshot());
    for (qsizetype i = 0; i < before.size(); ++i) {
        QVERIFY2(after[i] != before[i], qPrintable(u"figure %1 not rewritten"_s.arg(i)));
    }

    // The notice, from a double-click on the heading, closed with Enter.
    const QPoint heading = onScreen(seen->atom, design().heading);
    screen.run(u"xdotool"_s,
               {"mousemove", QString::number(heading.x()), QString::number(heading.y()), "click",
                "--repeat", "2", "--delay", "80", "1"});
    const QString notice = u"Прудупреждение"_s;
    QVERIFY2(desktop::waitUntil([&] { return !xWindowTitled(screen, notice).isEmpty(); }, 10000),
             "no notice after a double-click on the heading");
    screen.run(u"xdotool"_s, {"windowactivate", "--sync", xWindowTitled(screen, notice)});
    screen.run(u"xdotool"_s, {"key", "Return"});
    QVERIFY2(desktop::waitUntil([&] { return xWindowTitled(screen, notice).isEmpty(); }, 10000),
             "Enter does not close the notice");

    // The window manager's close, as the title bar's button asks it.
    QCOMPARE(screen.run(u"wmctrl"_s, {"-i", "-c", window}).exitCode, 0);
    QVERIFY2(program->waitForFinished(20000), "the program goes on after its window's close");
    QCOMPARE(program->exitStatus(), QProcess::NormalExit);
    QCOMPARE(program->exitCode(), 0);
}

// The MSI's removal takes every file it put there, the menu entry and its folder.
void WineTest::uninstallLeavesNothing() {
    const desktop::ToolResult removal = wine({u"msiexec"_s, u"/x"_s, windowsPath(m_msi), u"/qn"_s});
    QVERIFY2(removal.exitCode == 0, qPrintable(removal.err));
    QVERIFY2(
        !QFileInfo::exists(m_prefix.filePath(programFolder)),
        qPrintable(QDirIterator(m_prefix.filePath(programFolder),
                                QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories)
                       .next()));
    QCOMPARE(menuEntries(), QStringList());
}

// Nothing of Wine's left running.
void WineTest::cleanupTestCase() {
    endWine();
}

QTEST_GUILESS_MAIN(WineTest)
#include "test_wine.moc"
