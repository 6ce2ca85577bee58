// The real program under weston, as on a Wayland desktop: with XWayland it runs on X, without it
// on Wayland; either way the orbits are drawn, the electron moves, a series chosen through the
// accessibility bus moves it and the window closes with status 0.
#include "atom_picture.h"
#include "desktop.h"

#include <QElapsedTimer>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// Angles at which the electron was seen on orbit `radius`, in screenshots taken for up to
// `seconds`; stops once it has been seen in `wanted` different places. A fault ends the watch.
struct Watch {
    QList<double> places;
    QString fault;
};

Watch watchElectron(const desktop::Desktop& screen, const atom::Area& area, int radius, int wanted,
                    int seconds) {
    Watch watch;
    QElapsedTimer clock;
    clock.start();
    while (watch.places.size() < wanted && clock.elapsed() < qint64{seconds} * 1000) {
        const QImage shot = screen.screenshot(area.rect());
        if (shot.isNull()) {
            watch.fault = QStringLiteral("no screenshot");
            return watch;
        }
        const atom::ElectronSighting seen = atom::findElectron(shot, area, radius);
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

} // namespace

class WestonTest : public QObject {
    Q_OBJECT

private slots:
    void runsOnWeston_data();
    void runsOnWeston();
};

void WestonTest::runsOnWeston_data() {
    QTest::addColumn<desktop::Desktop::Kind>("kind");
    QTest::addColumn<QString>("platform");
    QTest::newRow("with XWayland: on X") << desktop::Desktop::Kind::WestonXwayland << "xcb";
    QTest::newRow("Wayland alone") << desktop::Desktop::Kind::Weston << "wayland";
}

void WestonTest::runsOnWeston() {
    QFETCH(desktop::Desktop::Kind, kind);
    QFETCH(QString, platform);
    desktop::Desktop screen(kind);
    const QString failed = screen.start();
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
    const QString noBus = screen.startAccessibilityBus();
    QVERIFY2(noBus.isEmpty(), qPrintable(noBus));

    QProcessEnvironment accessible;
    accessible.insert(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
    const std::unique_ptr<QProcess> program =
        screen.launch(QStringLiteral(LUMERA_PROGRAM), {}, accessible);
    QVERIFY2(program->state() == QProcess::Running, "lumera does not start");
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
            faults = area ? atom::drawingFaults(shot, *area)
                          : QStringList{QStringLiteral("no atom picture on the screen")};
            return faults.isEmpty();
        },
        15000);
    shot.save(QStringLiteral("%1/weston-%2.png").arg(QStringLiteral(LUMERA_OUTPUT_DIR), platform));
    QVERIFY2(drawn, qPrintable(faults.join(QStringLiteral("; "))));

    // The compositor's own pictures show the ring in different places on orbit 1, then, once
    // series 6 is chosen as a screen reader's user would, on orbit 14.
    const Watch first = watchElectron(screen, *area, 4, 3, 20);
    QVERIFY2(first.fault.isEmpty(), qPrintable(first.fault));
    QVERIFY2(first.places.size() >= 3,
             qPrintable(QStringLiteral("the electron is seen in %1 places on orbit 1")
                            .arg(first.places.size())));

    const desktop::ToolResult pressed =
        screen.run(QStringLiteral(LUMERA_ATSPI_PRESS),
                   {QString::number(pid), QStringLiteral("Орбита 6")}, 30000);
    QVERIFY2(pressed.exitCode == 0, qPrintable(pressed.err));
    // The revolution that was running when the press came ends on orbit 1 first.
    const bool arrived = desktop::waitUntil(
        [&] {
            const Watch glimpse = watchElectron(screen, *area, 14, 1, 1);
            return glimpse.fault.isEmpty() && !glimpse.places.isEmpty();
        },
        10000, 0);
    QVERIFY2(arrived, "the electron never runs on orbit 14");
    const Watch sixth = watchElectron(screen, *area, 14, 2, 20);
    QVERIFY2(sixth.fault.isEmpty(), qPrintable(sixth.fault));
    QVERIFY2(sixth.places.size() >= 2, "the electron stands still on orbit 14");

    // A session that ends closes the window as its close button does.
    program->terminate();
    QVERIFY2(program->waitForFinished(10000), "lumera is still running");
    QCOMPARE(program->exitStatus(), QProcess::NormalExit);
    QCOMPARE(program->exitCode(), 0);
}

QTEST_GUILESS_MAIN(WestonTest)
#include "test_weston.moc"
