// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// The electron's revolution on the real picture: what it leaves there, its wait and its errors.
#include "animation/idle_wait.h"
#include "animation/orbit_path.h"
#include "animation/timer1_timer.h"
#include "app/form1.h"
#include "host/controls/picture_box.h"
#include "host/controls/timer.h"

#include <QTest>

#include <algorithm>
#include <ctime>
#include <vector>

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

    StillWindow() : picture(form.control<host::PictureBox>("Picture3")) {
        form.show();
        if (!QTest::qWaitForWindowActive(&form)) {
            qFatal("window never became active");
        }
        form.control<host::Timer>("Timer1").setEnabled(false);
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

    void revolutionWaits360TimesTheDelay() {
        StillWindow w;
        // Timed against the counted loop itself, less the drawing: whatever a pass costs here.
        // On this thread's own clock, so that other tests running beside it do not count; the
        // pace of a shared host still changes twofold within a second, so each round times the
        // three back to back and the median round answers.
        constexpr int delay = 50000;
        constexpr int rounds = 15;
        std::vector<double> shares;
        for (int round = 0; round < rounds; ++round) {
            double took[3] = {}; // the loop, the drawing, the revolution
            for (int part = 0; part < 3; ++part) {
                const double start = threadNanoseconds();
                if (part == 0) {
                    animation::idlePasses(360 * delay);
                } else {
                    animation::Timer1_Timer(w.picture, {4, 4, part == 1 ? 0.0F : float(delay)});
                }
                took[part] = threadNanoseconds() - start;
            }
            shares.push_back((took[2] - took[1]) / took[0]);
        }
        const auto median = shares.begin() + rounds / 2;
        std::nth_element(shares.begin(), median, shares.end());
        const double share = *median;
        QVERIFY2(share > 0.75 && share < 1.4,
                 qPrintable(QStringLiteral("the wait is %1 of 360 x the delay").arg(share)));
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
        const auto revolution = [&] { animation::Timer1_Timer(w.picture, {4, 4, delay}); };
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
