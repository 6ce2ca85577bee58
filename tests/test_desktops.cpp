// The real program, installed and started by its menu entry, on the desktops people run: X11 with
// a window manager, and weston with XWayland and without. On each: the platform it lands on, the
// atom as drawn, the electron moving, series 6 chosen as a screen reader's user would, and the
// end with status 0. On X also the title, the maximised window, the notice and Alt+F4.
#include "atom_picture.h"
#include "desktop.h"

#include <QDir>
#include <QElapsedTimer>
#include <QSettings>
#include <QTest>
#include <cmath>

#ifndef LUMERA_BUILD_DIR
#error "LUMERA_BUILD_DIR must name the build tree whose program is installed and tested"
#endif

using desktop::Desktop;
using namespace Qt::StringLiterals;

namespace {

// The drawing area's top-left corner in the window (Picture3 inside its border), and the
// transition marks Line3 … Line6 sampled above the lowest level, in the same client pixels.
constexpr QPoint drawingAreaInClient(506, 106);
constexpr std::array markSpots{QPoint(186, 390), QPoint(250, 390), QPoint(322, 390),
                               QPoint(394, 390)};

// The places on the orbit of `radius` where the electron was seen, in screenshots taken for up
// to `ms`, until it was seen in `wanted` places; a blue pixel anywhere else ends the watch.
QList<double> watchElectron(const Desktop& screen, const atom::Area& area, int radius, int wanted,
                            int ms, QString& fault) {
    QList<double> places;
    fault.clear();
    QElapsedTimer clock;
    clock.start();
    while (places.size() < wanted && fault.isEmpty() && clock.elapsed() < ms) {
        const atom::ElectronSighting seen = atom::findElectron(screen.screenshot(), area, radius);
        fault = seen.fault;
        if (seen.angleDegrees && std::ranges::none_of(places, [&](double p) {
                return std::abs(p - *seen.angleDegrees) < 3;
            })) {
            places << *seen.angleDegrees;
        }
    }
    return places;
}

} // namespace

class DesktopsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void runsOnEachDesktop_data();
    void runsOnEachDesktop();

private:
    void xWindowAndNotice(const Desktop& screen, qint64 pid);

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

void DesktopsTest::runsOnEachDesktop_data() {
    QTest::addColumn<Desktop::Kind>("kind");
    QTest::addColumn<QString>("platform");
    QTest::newRow("x11") << Desktop::Kind::XvfbOpenbox << u"xcb"_s;
    QTest::newRow("xwayland") << Desktop::Kind::WestonXwayland << u"xcb"_s;
    QTest::newRow("wayland") << Desktop::Kind::Weston << u"wayland"_s;
}

void DesktopsTest::runsOnEachDesktop() {
    QFETCH(Desktop::Kind, kind);
    QFETCH(QString, platform);
    Desktop screen(kind);
    for (const QString& failed : {screen.start(), screen.startAccessibilityBus()}) {
        QVERIFY2(failed.isEmpty(), qPrintable(failed));
    }
    QProcessEnvironment extra;
    extra.insert(u"QT_LINUX_ACCESSIBILITY_ALWAYS_ON"_s, u"1"_s);
    // In the sanitizer build, a leak of a GL driver unloaded before exit is traced whole, back to
    // the system library that its suppression names.
    if (const QString leaks = qEnvironmentVariable("LSAN_OPTIONS"); !leaks.isEmpty()) {
        extra.insert(u"LSAN_OPTIONS"_s, leaks + u":fast_unwind_on_malloc=0"_s);
    }
    const std::unique_ptr<QProcess> program = screen.launch(m_program, {}, extra);
    const qint64 pid = program->processId();
    QVERIFY(desktop::waitUntil([&] { return !desktop::loadedPlatform(pid).isEmpty(); }, 10000));
    QCOMPARE(desktop::loadedPlatform(pid), platform);

    // The orbits are drawn on activation, a moment after the window appears.
    std::optional<atom::Area> area;
    QStringList faults;
    QImage shot;
    const bool drawn = desktop::waitUntil(
        [&] {
            shot = screen.screenshot();
            area = atom::findArea(shot);
            faults = area ? atom::drawingFaults(shot, *area) : QStringList{u"no atom"_s};
            return faults.isEmpty();
        },
        15000);
    shot.save(QStringLiteral(LUMERA_BUILD_DIR "/desktop-%1.png").arg(QTest::currentDataTag()));
    QVERIFY2(drawn, qPrintable(faults.join(u"; "_s)));

    QString fault;
    QVERIFY2(watchElectron(screen, *area, 4, 3, 20000, fault).size() >= 3 && fault.isEmpty(),
             qPrintable(u"the electron does not go round orbit 1 "_s + fault));

    const desktop::ToolResult pressed = screen.run(QStringLiteral(LUMERA_ATSPI_PRESS),
                                                   {QString::number(pid), u"Орбита 6"_s}, 30000);
    QVERIFY2(pressed.exitCode == 0, qPrintable(pressed.err));
    // The revolution that was running when the press came ends on orbit 1 first.
    QVERIFY2(
        desktop::waitUntil(
            [&] { return !watchElectron(screen, *area, 14, 1, 1000, fault).isEmpty(); }, 10000, 0),
        "the electron never runs on orbit 14");
    QVERIFY2(watchElectron(screen, *area, 14, 2, 20000, fault).size() >= 2 && fault.isEmpty(),
             qPrintable(fault));
    shot = screen.screenshot();
    for (const QPoint spot : markSpots) {
        const QPoint at = area->rect.topLeft() - drawingAreaInClient + spot;
        QCOMPARE(QColor(shot.pixel(at)), QColor(Qt::magenta));
    }

    if (kind == Desktop::Kind::XvfbOpenbox) {
        xWindowAndNotice(screen, pid);
        // Alt+F4 is openbox's close: the window gets the same request as from its close button.
        QCOMPARE(screen.run(u"xdotool"_s, {"key", "alt+F4"}).exitCode, 0);
    } else {
        // Weston's headless screen has no seat to click with; a session that ends closes the
        // window as its close button does.
        program->terminate();
    }
    QVERIFY2(program->waitForFinished(10000), "lumera is still running");
    QCOMPARE(program->exitStatus(), QProcess::NormalExit);
    QCOMPARE(program->exitCode(), 0);
}

// The title, the maximised size and the notice from a double-click on the heading.
void DesktopsTest::xWindowAndNotice(const Desktop& screen, qint64 pid) {
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
    QVERIFY2(geometry.contains(u"WIDTH=1024"_s), qPrintable(geometry));

    // The heading, Label1, is centred at (544, 60) in the window.
    QCOMPARE(xdotool({"mousemove", "--window", window, "544", "60", "click", "--repeat", "2",
                      "--delay", "80", "1"})
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

QTEST_GUILESS_MAIN(DesktopsTest)
#include "test_desktops.moc"
