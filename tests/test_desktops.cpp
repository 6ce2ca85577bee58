// The real program, installed and started by its menu entry, on the desktops people run: X11 with
// a window manager, and weston with XWayland and without. On each: the platform it lands on, the
// window as drawn, the electron moving, series 6 chosen as a screen reader's user would, and the
// end with status 0. On X also the title, the maximised window, the notice and Alt+F4.
#include "atom_picture.h"
#include "desktop.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

#ifndef LUMERA_BUILD_DIR
#error "LUMERA_BUILD_DIR must name the build tree whose program is installed and tested"
#endif

using desktop::Desktop;

namespace {

const QString mainTitle = QStringLiteral("ЛЮМЕРА");
const QString noticeTitle = QStringLiteral("Прудупреждение");
constexpr QPoint headingCentre(544, 60); // Label1: (240, 24), 609 x 73
// The transition marks Line3 … Line6, two pixels wide, sampled above the bottom level line.
constexpr std::array markColumns{186, 250, 322, 394};
constexpr int markSampleRow = 390;

// The window's ground, panels and red heading at spots of the client area; empty when all is well.
QStringList layoutFaults(const QImage& shot, const atom::Area& area) {
    QStringList faults;
    const QPoint origin = area.clientOrigin();
    const QRgb ground = qRgb(141, 169, 209);
    const QRgb panel = qRgb(251, 249, 168);
    const std::array<std::pair<QPoint, QRgb>, 10> spots{{{{20, 300}, ground},
                                                         {{487, 300}, ground},
                                                         {{990, 300}, ground},
                                                         {{700, 562}, ground},
                                                         {{95, 111}, panel},
                                                         {{460, 545}, panel},
                                                         {{95, 575}, panel},
                                                         {{465, 690}, panel},
                                                         {{511, 575}, panel},
                                                         {{945, 690}, panel}}};
    for (const auto& [client, colour] : spots) {
        const QPoint at = origin + client;
        if (!shot.rect().contains(at) || shot.pixel(at) != colour) {
            faults << QStringLiteral("client %1 is not #%2")
                          .arg(atom::describe(client))
                          .arg(colour, 6, 16);
        }
    }
    int red = 0;
    for (int y = 24; y < 24 + 73; ++y) {
        for (int x = 240; x < 240 + 609; ++x) {
            red += shot.pixel(origin + QPoint(x, y)) == qRgb(255, 0, 0) ? 1 : 0;
        }
    }
    if (red < 200) {
        faults << QStringLiteral("only %1 red pixels in the heading").arg(red);
    }
    return faults << atom::drawingFaults(shot, area);
}

// Where the electron was seen on the orbit of `radius` in screenshots taken for up to
// `seconds`, until it was seen in `wanted` places; a blue pixel anywhere else ends the watch.
struct Watch {
    QList<double> places;
    QString fault;
};

Watch watchElectron(const Desktop& screen, const atom::Area& area, int radius, int wanted,
                    int seconds) {
    Watch watch;
    QElapsedTimer clock;
    clock.start();
    while (watch.places.size() < wanted && clock.elapsed() < qint64{seconds} * 1000) {
        const atom::ElectronSighting seen = atom::findElectron(screen.screenshot(), area, radius);
        if (!seen.fault.isEmpty()) {
            watch.fault = seen.fault;
            return watch;
        }
        if (seen.angleDegrees && std::ranges::none_of(watch.places, [&](double p) {
                return std::abs(p - *seen.angleDegrees) < 3;
            })) {
            watch.places << *seen.angleDegrees;
        }
    }
    return watch;
}

// The program named by the Exec line of the menu entry installed under `prefix`.
QString menuCommand(const QString& prefix) {
    const QDir applications(prefix + QStringLiteral("/share/applications"));
    const QStringList entries = applications.entryList({QStringLiteral("*.desktop")});
    QFile entry(applications.filePath(entries.value(0)));
    if (entries.size() != 1 || !entry.open(QIODevice::ReadOnly)) {
        return {};
    }
    for (const QByteArray& line : entry.readAll().split('\n')) {
        if (line.startsWith("Exec=")) {
            return prefix + QStringLiteral("/bin/") +
                   QString::fromUtf8(line.mid(5)).section(QLatin1Char(' '), 0, 0);
        }
    }
    return {};
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
                  {QStringLiteral("--install"), QStringLiteral(LUMERA_BUILD_DIR),
                   QStringLiteral("--prefix"), m_prefix.path()});
    QVERIFY(install.waitForFinished(60000) && install.exitCode() == 0);
    m_program = menuCommand(m_prefix.path());
    QVERIFY2(QFileInfo(m_program).isExecutable(), "the menu entry starts no installed program");
}

void DesktopsTest::runsOnEachDesktop_data() {
    QTest::addColumn<Desktop::Kind>("kind");
    QTest::addColumn<QString>("platform");
    QTest::addColumn<QString>("shotName");
    QTest::newRow("X11 with openbox") << Desktop::Kind::XvfbOpenbox << "xcb"
                                      << "x11";
    QTest::newRow("weston with XWayland: on X") << Desktop::Kind::WestonXwayland << "xcb"
                                                << "xwayland";
    QTest::newRow("Wayland alone") << Desktop::Kind::Weston << "wayland"
                                   << "wayland";
}

void DesktopsTest::runsOnEachDesktop() {
    QFETCH(Desktop::Kind, kind);
    QFETCH(QString, platform);
    QFETCH(QString, shotName);
    Desktop screen(kind);
    const QString failed = screen.start();
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
    const QString noBus = screen.startAccessibilityBus();
    QVERIFY2(noBus.isEmpty(), qPrintable(noBus));
    QProcessEnvironment accessible;
    accessible.insert(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
    // In the sanitizer build, a leak of a GL driver unloaded before exit is traced whole, back to
    // the system library that its suppression names.
    if (const QString leaks = qEnvironmentVariable("LSAN_OPTIONS"); !leaks.isEmpty()) {
        accessible.insert(QStringLiteral("LSAN_OPTIONS"),
                          leaks + QStringLiteral(":fast_unwind_on_malloc=0"));
    }
    const std::unique_ptr<QProcess> program = screen.launch(m_program, {}, accessible);
    const qint64 pid = program->processId();
    QVERIFY2(desktop::waitUntil([&] { return !desktop::loadedPlatform(pid).isEmpty(); }, 10000),
             "lumera loads no platform");
    QCOMPARE(desktop::loadedPlatform(pid), platform);

    // The orbits are drawn on activation, a moment after the window appears.
    std::optional<atom::Area> area;
    QStringList faults;
    QImage shot;
    const bool drawn = desktop::waitUntil(
        [&] {
            shot = screen.screenshot();
            area = atom::findArea(shot);
            faults = area ? layoutFaults(shot, *area) : QStringList{QStringLiteral("no atom")};
            return faults.isEmpty();
        },
        15000);
    shot.save(QStringLiteral("%1/desktop-%2.png").arg(QStringLiteral(LUMERA_BUILD_DIR), shotName));
    QVERIFY2(drawn, qPrintable(faults.join(QStringLiteral("; "))));

    const Watch first = watchElectron(screen, *area, 4, 3, 20);
    QVERIFY2(first.fault.isEmpty(), qPrintable(first.fault));
    QVERIFY2(first.places.size() >= 3, "the electron does not go round orbit 1");

    const desktop::ToolResult pressed =
        screen.run(QStringLiteral(LUMERA_ATSPI_PRESS),
                   {QString::number(pid), QStringLiteral("Орбита 6")}, 30000);
    QVERIFY2(pressed.exitCode == 0, qPrintable(pressed.err));
    // The revolution that was running when the press came ends on orbit 1 first.
    QVERIFY2(desktop::waitUntil(
                 [&] {
                     const Watch glimpse = watchElectron(screen, *area, 14, 1, 1);
                     return glimpse.fault.isEmpty() && !glimpse.places.isEmpty();
                 },
                 10000, 0),
             "the electron never runs on orbit 14");
    const Watch sixth = watchElectron(screen, *area, 14, 2, 20);
    QVERIFY2(sixth.fault.isEmpty() && sixth.places.size() >= 2, qPrintable(sixth.fault));
    shot = screen.screenshot();
    for (const int column : markColumns) {
        const QPoint at = area->clientOrigin() + QPoint(column, markSampleRow);
        QCOMPARE(QColor(shot.pixel(at)), QColor(255, 0, 255));
    }

    if (kind == Desktop::Kind::XvfbOpenbox) {
        xWindowAndNotice(screen, pid);
        // Alt+F4 is openbox's close: the window gets the same request as from its close button.
        QCOMPARE(
            screen.run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("alt+F4")})
                .exitCode,
            0);
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
    const auto xdotool = [&](const QStringList& args) {
        return screen.run(QStringLiteral("xdotool"), args);
    };
    // xdotool's own name search can miss Cyrillic titles, so names are compared here.
    const auto windowTitled = [&](const QString& title) {
        const QStringList ids = xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                         QStringLiteral("--pid"), QString::number(pid)})
                                    .out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        for (const QString& id : ids) {
            if (xdotool({QStringLiteral("getwindowname"), id}).out == title) {
                return id;
            }
        }
        return QString();
    };
    const QString window = windowTitled(mainTitle);
    QVERIFY2(!window.isEmpty(), "no window titled ЛЮМЕРА");
    const QString geometry =
        xdotool({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), window}).out;
    QVERIFY2(geometry.contains(QStringLiteral("WIDTH=1024")), qPrintable(geometry));

    QCOMPARE(xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), window,
                      QString::number(headingCentre.x()), QString::number(headingCentre.y()),
                      QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("2"),
                      QStringLiteral("--delay"), QStringLiteral("80"), QStringLiteral("1")})
                 .exitCode,
             0);
    QString notice;
    QVERIFY2(
        desktop::waitUntil([&] { return !(notice = windowTitled(noticeTitle)).isEmpty(); }, 5000),
        "no notice after a double-click on the heading");
    xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), notice});
    xdotool({QStringLiteral("key"), QStringLiteral("Return")});
    QVERIFY2(desktop::waitUntil([&] { return windowTitled(noticeTitle).isEmpty(); }, 5000),
             "Enter does not close the notice");
    xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), window});
}

QTEST_GUILESS_MAIN(DesktopsTest)
#include "test_desktops.moc"
