// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// The electron's revolution on the real picture: what it leaves there, its pace and its errors.
#include "animation/orbit_path.h"
#include "animation/timer1_timer.h"
#include "app/form1.h"
#include "host/controls/picture_box.h"
#include "host/controls/timer.h"
#include "ui/control_names.h"

#include <QElapsedTimer>
#include <QTest>

#include <algorithm>
#include <ctime>

namespace {

// The middle of the blue pixels, the electron ring; (-99, -99) when there are none.
QPointF blueRing(const QImage& image) {
    QPolygonF blue;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == qRgb(0, 0, 255)) {
                blue << QPointF(x, y);
            }
        }
    }
    return blue.isEmpty() ? QPointF(-99, -99) : blue.boundingRect().center();
}

double threadNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e9 + double(now.tv_nsec);
}

// The real window, activated, with its timer stopped so that the test runs the revolutions.
struct StillWindow {
    Form1 form;
    host::PictureBox& picture;

    StillWindow() : picture(form.control<host::PictureBox>(ui::names::picture3)) {
        form.show();
        if (!QTest::qWaitForWindowActive(&form)) {
            qFatal("window never became active");
        }
        form.control<host::Timer>(ui::names::timer1).setEnabled(false);
        picture.Circle(0, 0, 4); // closes the two points a revolution may have left open
    }
};

} // namespace

class AnimationTest : public QObject {
    Q_OBJECT

private slots:
    void revolutionRunsClockwiseAndOpensTheOrbitAtTheTop() {
        StillWindow w;
        const QImage before = w.picture.drawing();
        const QRectF area = w.picture.inner()->rect();
        const double r = 4 * area.height() / 30; // orbit 4 on the screen: the picture is 30 high
        int circles = 0;
        QPointF step91;
        w.form.gate().setObserver([&](const host::CallRecord&) {
            if (++circles == 3 * 91) { // about to erase the ring of step 91
                step91 = blueRing(w.picture.drawing());
            }
        });
        w.form.Timer1_Timer();
        QCOMPARE(circles, 360 * 3); // orbit, electron and erase at every step
        QVERIFY(QLineF(step91, area.center() + QPointF(r, 0)).length() < 4); // clockwise
        // The erase is the ground's white: only the orbit's points under the last ring changed.
        const QImage after = w.picture.drawing();
        QPolygonF opened;
        for (int y = 0; y < after.height(); ++y) {
            for (int x = 0; x < after.width(); ++x) {
                if (after.pixel(x, y) != before.pixel(x, y)) {
                    QVERIFY(before.pixel(x, y) == qRgb(0, 0, 0) &&
                            after.pixel(x, y) == qRgb(255, 255, 255));
                    opened << QPointF(x, y);
                }
            }
        }
        QVERIFY(opened.size() >= 1 && opened.size() <= 4);
        QVERIFY(QLineF(opened.boundingRect().center(), area.center() - QPointF(0, r)).length() < 3);
    }

    // A level-1 revolution lasts its 0.54 s on this processor as on any other, and gives the
    // processor back while the electron waits. The quickest of three: a loaded host only adds.
    void revolutionKeepsItsPaceAsleep() {
        StillWindow w;
        double quickest = 1e9;
        double wall = 0;
        double busy = 0;
        for (int round = 0; round < 3; ++round) {
            QElapsedTimer clock;
            clock.start();
            const double cpuBefore = threadNanoseconds();
            w.form.Timer1_Timer();
            busy += threadNanoseconds() - cpuBefore;
            const auto took = double(clock.nsecsElapsed());
            wall += took;
            quickest = std::min(quickest, took);
        }
        const QString said = QStringLiteral("%1 s a revolution, busy %2 of the time")
                                 .arg(quickest * 1e-9)
                                 .arg(busy / wall);
        QVERIFY2(quickest >= 0.54e9 && quickest < 0.54e9 * 1.1, qPrintable(said));
        QVERIFY2(busy / wall < 0.25, qPrintable(said));
    }

    void failureEndsTheRevolutionAndTheProgram_data() {
        QTest::addColumn<float>("delay");
        QTest::addColumn<int>("circlesBefore"); // the next Circle fails
        QTest::addColumn<int>("error");
        QTest::newRow("erase of step 5 fails") << 0.0F << 14 << 5;
        // The erase of step 1 fails too: a wait that does not overflow ends after one step.
        QTest::newRow("delay 2^31") << 2147483648.0F << 2 << 6;
    }
    void failureEndsTheRevolutionAndTheProgram() {
        QFETCH(float, delay);
        QFETCH(int, circlesBefore);
        QFETCH(int, error);
        StillWindow w;
        QList<host::ErrorReport> reports;
        w.form.dispatcher().setPresenter([&](const host::ErrorReport& r) { reports << r; });
        w.form.gate().failWhen({.operation = host::Operation::Circle, .skip = circlesBefore});
        const auto revolution = [&] {
            animation::Timer1_Timer(w.picture, {4, 4, delay}, w.form.pace());
        };
        QTimer::singleShot(0, [&] {
            w.form.dispatcher().run("Timer1_Timer", revolution);
            // Nothing runs after the failure, so the same fault cannot report twice.
            w.form.dispatcher().run("Option2_Click", [&] { reports << host::ErrorReport{}; });
        });
        QTimer::singleShot(9000, &w.form, [] { QCoreApplication::exit(0); }); // no error: no hang
        QVERIFY(QCoreApplication::exec() != 0);
        QCOMPARE(reports.size(), 1);
        QCOMPARE(reports[0].number, error);
        QCOMPARE(reports[0].handler, QStringLiteral("Timer1_Timer"));
        const auto centre =
            animation::electronCentre(4, static_cast<std::int16_t>(circlesBefore / 3 + 1));
        const QPointF stays = w.picture.toPixels(centre.x, centre.y); // the failed step's ring
        QVERIFY(QLineF(blueRing(w.picture.drawing()), stays).length() < 1.5);
    }
};

QTEST_MAIN(AnimationTest)
#include "test_animation.moc"
