// The electron's revolution: its path, what it leaves on the picture, its wait and its errors.
#include "animation/idle_wait.h"
#include "animation/orbit_path.h"
#include "animation/timer1_timer.h"
#include "app/form1.h"
#include "host/option_button.h"
#include "host/picture_box.h"
#include "host/runtime_error.h"
#include "host/timer.h"
#include "queued_click.h"

#include <QElapsedTimer>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>
#include <atomic>
#include <cmath>
#include <functional>
#include <limits>
#include <thread>

using animation::electronCentre;

namespace {

constexpr QRgb blue = qRgb(0, 0, 255);

QList<QPoint> pixelsOf(const QImage& image, QRgb colour) {
    QList<QPoint> found;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF)) {
                found << QPoint(x, y);
            }
        }
    }
    return found;
}

// Black pixels that turned white between two drawings.
QList<QPoint> lostInk(const QImage& before, const QImage& after) {
    QList<QPoint> lost;
    for (int y = 0; y < before.height(); ++y) {
        for (int x = 0; x < before.width(); ++x) {
            if (qGray(before.pixel(x, y)) < 128 && qGray(after.pixel(x, y)) >= 128) {
                lost << QPoint(x, y);
            }
        }
    }
    return lost;
}

double distanceFromCentre(const QPoint& p, double centre) {
    return std::hypot(p.x() - centre, p.y() - centre);
}

// The real window, activated once and with its timer stopped so a test drives the ticks.
struct StillWindow {
    Form1 form;
    host::PictureBox& picture;

    StillWindow() : picture(form.control<host::PictureBox>("Picture3")) {
        form.show();
        if (!QTest::qWaitForWindowActive(&form)) {
            qFatal("window never became active");
        }
        form.control<host::Timer>("Timer1").setEnabled(false);
        QCoreApplication::processEvents();
    }
};

} // namespace

class AnimationTest : public QObject {
    Q_OBJECT

private slots:
    void pathTurnsClockwiseFromTheTop_data();
    void pathTurnsClockwiseFromTheTop();
    void clockwiseOnTheScreen();
    void revolutionLeavesNoElectronAndRepairsTheOrbit();
    void pathRadiusAndOrbitRadiusAreSeparate();
    void rounding_data();
    void rounding();
    void outOfRangeDelayStopsBeforeTheFirstPass_data();
    void outOfRangeDelayStopsBeforeTheFirstPass();
    void revolutionWaits360TimesTheDelay();
    void stateIsReadAfreshAtEveryStep();
    void failingCircleIsReportedOnceAndEndsTheProgram();
    void queuedClicksWaitAtMostOneRevolution();
};

void AnimationTest::pathTurnsClockwiseFromTheTop_data() {
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("after");
    // Signs of (x, y) of the two steps around each turning point, y upward.
    QTest::addColumn<QPoint>("signBefore");
    QTest::addColumn<QPoint>("signAfter");
    QTest::newRow("top, leaving") << 0 << 1 << QPoint(0, 1) << QPoint(1, 1);
    QTest::newRow("rightmost") << 90 << 91 << QPoint(1, 1) << QPoint(1, -1);
    QTest::newRow("lowest") << 180 << 181 << QPoint(1, -1) << QPoint(-1, -1);
    QTest::newRow("leftmost") << 270 << 271 << QPoint(-1, -1) << QPoint(-1, 1);
    QTest::newRow("top, short of it") << 359 << 360 << QPoint(-1, 1) << QPoint(-1, 1);
}

void AnimationTest::pathTurnsClockwiseFromTheTop() {
    QFETCH(int, before);
    QFETCH(int, after);
    QFETCH(QPoint, signBefore);
    QFETCH(QPoint, signAfter);
    const auto sign = [](float v) { return std::abs(v) < 1e-6F ? 0 : (v > 0 ? 1 : -1); };
    const auto a = electronCentre(4, static_cast<std::int16_t>(before));
    const auto b = electronCentre(4, static_cast<std::int16_t>(after));
    QCOMPARE(QPoint(sign(a.x), sign(a.y)), signBefore);
    QCOMPARE(QPoint(sign(b.x), sign(b.y)), signAfter);
    QVERIFY(std::abs(std::hypot(b.x, b.y) - 4) < 1e-5);

    // Step 360 stops 2π − 6.28 short of the top: a little left of it.
    const auto last = electronCentre(4, 360);
    QVERIFY(last.x < 0 && last.x > -4 * (2 * M_PI - 6.28) * 1.01);
}

void AnimationTest::clockwiseOnTheScreen() {
    StillWindow w;
    // In pixels y grows downward: clockwise means the screen angle atan2(dy, dx) increases.
    double previous = std::nan("");
    for (const int step : {1, 45, 90, 135, 180, 225, 270, 315, 359}) {
        const auto p = electronCentre(4, static_cast<std::int16_t>(step));
        const QPointF px = w.picture.toPixels(p.x, p.y) - QPointF(224, 224);
        double angle = std::atan2(px.y(), px.x());
        if (!std::isnan(previous)) {
            while (angle < previous) {
                angle += 2 * M_PI;
            }
            QVERIFY2(angle - previous < M_PI, qPrintable(QString::number(step)));
        }
        previous = angle;
        if (step == 1) {
            QVERIFY(px.x() > 0 && px.y() < -50); // just right of the top
        }
    }
}

void AnimationTest::revolutionLeavesNoElectronAndRepairsTheOrbit() {
    StillWindow w;
    const QImage before = w.picture.drawing();
    for (int revolution = 0; revolution < 2; ++revolution) {
        w.form.Timer1_Timer();
    }
    const QImage after = w.picture.drawing();
    // The erase is in the ground's own white: nothing but ink and ground is left.
    QCOMPARE(pixelsOf(after, qRgb(0, 0, 0)).size() + pixelsOf(after, qRgb(255, 255, 255)).size(),
             qsizetype{after.width()} * after.height());

    // Only the two points the last erase left white are missing, just left of the top.
    const QList<QPoint> lost = lostInk(before, after);
    const auto last = electronCentre(4, 360);
    const QPointF lastPx = w.picture.toPixels(last.x, last.y);
    QVERIFY2(lost.size() <= 4, qPrintable(QString::number(lost.size())));
    QVERIFY(lastPx.x() < 224 && lastPx.y() < 224 - 50);
    for (const QPoint& p : lost) {
        QVERIFY(std::hypot(p.x() - lastPx.x(), p.y() - lastPx.y()) < 6);
    }

    // The nucleus stays in front of the drawing.
    const QImage shown = w.picture.inner()->grab().toImage();
    QCOMPARE(QColor(shown.pixel(224 + 4, 224 - 5)), QColor(Qt::red));
    QCOMPARE(QColor(shown.pixel(224, 224)), QColor(Qt::black));
}

void AnimationTest::pathRadiusAndOrbitRadiusAreSeparate() {
    StillWindow w;
    const QImage before = w.picture.drawing();
    const double unit = 448.0 / 30;
    animation::Timer1_Timer(w.picture, AnimationState{6, 4, 0});
    const QList<QPoint> lost = lostInk(before, w.picture.drawing());
    int onOrbit4 = 0;
    int onOrbit6 = 0;
    for (const QPoint& p : lost) {
        const double r = distanceFromCentre(p, 224);
        onOrbit4 += std::abs(r - 4 * unit) < 2 ? 1 : 0;
        onOrbit6 += std::abs(r - 6 * unit) < 2 ? 1 : 0;
    }
    // The ring erased its way round orbit 6; orbit 4 was redrawn whole at every step.
    QCOMPARE(onOrbit4, 0);
    QVERIFY2(onOrbit6 > 100, qPrintable(QString::number(onOrbit6)));
    QVERIFY(pixelsOf(w.picture.drawing(), blue).isEmpty());
}

void AnimationTest::rounding_data() {
    QTest::addColumn<float>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("half to even, down") << 0.5F << 0;
    QTest::newRow("half to even, up") << 1.5F << 2;
    QTest::newRow("two and a half") << 2.5F << 2;
    QTest::newRow("negative half") << -1.5F << -2;
    QTest::newRow("below half") << 1000.25F << 1000;
    QTest::newRow("level 6") << 1500000.0F << 1500000;
    QTest::newRow("largest single below 2^31") << 2147483520.0F << 2147483520;
    QTest::newRow("lowest") << -2147483648.0F << std::numeric_limits<int>::min();
}

void AnimationTest::rounding() {
    QFETCH(float, value);
    QFETCH(int, expected);
    QCOMPARE(animation::roundToInt32(value), expected);
}

void AnimationTest::outOfRangeDelayStopsBeforeTheFirstPass_data() {
    QTest::addColumn<float>("delay");
    QTest::newRow("2^31") << 2147483648.0F;
    QTest::newRow("NaN") << std::numeric_limits<float>::quiet_NaN();
    QTest::newRow("infinity") << std::numeric_limits<float>::infinity();
    QTest::newRow("below -2^31") << -4294967296.0F;
}

void AnimationTest::outOfRangeDelayStopsBeforeTheFirstPass() {
    QFETCH(float, delay);
    StillWindow w;
    const AnimationState state{4, 4, delay};
    try {
        animation::Timer1_Timer(w.picture, state);
        QFAIL("no overflow error");
    } catch (const host::RuntimeError& error) {
        QCOMPARE(error.code(), host::ErrorCode::Overflow);
    }
    // The orbit and the first ring were drawn; the ring stays blue, just right of the top.
    const QList<QPoint> ring = pixelsOf(w.picture.drawing(), blue);
    QVERIFY(!ring.isEmpty());
    const auto first = electronCentre(4, 1);
    const QPointF firstPx = w.picture.toPixels(first.x, first.y);
    for (const QPoint& p : ring) {
        QVERIFY(std::hypot(p.x() - firstPx.x(), p.y() - firstPx.y()) < 7);
    }
}

void AnimationTest::revolutionWaits360TimesTheDelay() {
    StillWindow w;
    QCOMPARE(animation::idlePasses(12345), 12345);
    QCOMPARE(animation::idlePasses(-5000), 0);
    int circles = 0;
    w.form.gate().setObserver([&](const host::CallRecord&) { ++circles; });
    // Timed against the counted loop itself, less the drawing: whatever a pass costs here. The
    // three are taken in turn, fastest of seven, so a busy spell of the machine falls on all.
    const auto timed = [](const std::function<void()>& run, double& best) {
        QElapsedTimer clock;
        clock.start();
        run();
        best = std::min(best, static_cast<double>(clock.nsecsElapsed()));
    };
    constexpr std::int32_t delay = 200000;
    double loop = 1e300;
    double drawing = 1e300;
    double revolution = 1e300;
    for (int round = 0; round < 7; ++round) {
        timed([] { animation::idlePasses(360 * delay); }, loop);
        timed([&] { animation::Timer1_Timer(w.picture, {4, 4, 0}); }, drawing);
        timed(
            [&] {
                animation::Timer1_Timer(w.picture, {4, 4, static_cast<float>(delay)});
            },
            revolution);
    }
    QCOMPARE(circles, 14 * 1080); // draw, draw and erase at each of 360 steps
    const double share = (revolution - drawing) / loop;
    QVERIFY2(share > 0.6 && share < 2.0,
             qPrintable(QStringLiteral("the wait is %1 of 360 x the delay").arg(share)));
}

void AnimationTest::stateIsReadAfreshAtEveryStep() {
    StillWindow w;
    AnimationState state{4, 4, 0};
    int circles = 0;
    // Another handler cannot run mid-revolution; the gate's observer stands in for one.
    w.form.gate().setObserver([&](const host::CallRecord&) {
        if (++circles == 3 * 10) {
            state.orbitRadius = 5; // from step 11 on
        }
    });
    animation::Timer1_Timer(w.picture, state);
    const QPointF centre = w.picture.toPixels(0, 0);
    const double radius = 5 * w.picture.pixelsPerUnitX();
    const QImage drawn = w.picture.drawing();
    // The new orbit crosses the horizontal through the centre at its radius, give or take a pixel.
    int ink = 0;
    for (int dx = -1; dx <= 1; ++dx) {
        const QPoint at(static_cast<int>(centre.x() + radius) + dx, static_cast<int>(centre.y()));
        ink += qGray(drawn.pixel(at)) < 128 ? 1 : 0;
    }
    QVERIFY(ink > 0);
}

void AnimationTest::failingCircleIsReportedOnceAndEndsTheProgram() {
    StillWindow w;
    QList<host::ErrorReport> reports;
    w.form.dispatcher().setPresenter([&](const host::ErrorReport& r) { reports << r; });
    // The erase of step 5 fails: calls 1–14 went through.
    w.form.gate().failWhen({.operation = host::Operation::Circle, .skip = 14});
    QEventLoop loop;
    QTimer::singleShot(
        0, [&] { w.form.dispatcher().run("Timer1_Timer", [&] { w.form.Timer1_Timer(); }); });
    const int status = loop.exec();
    QVERIFY(status != 0);
    QCOMPARE(reports.size(), 1);
    QCOMPARE(reports[0].handler, QStringLiteral("Timer1_Timer"));
    // The ring of step 5 stays blue.
    const auto fifth = electronCentre(4, 5);
    const QPointF at = w.picture.toPixels(fifth.x, fifth.y);
    const QList<QPoint> ring = pixelsOf(w.picture.drawing(), blue);
    QVERIFY(!ring.isEmpty());
    for (const QPoint& p : ring) {
        QVERIFY(std::hypot(p.x() - at.x(), p.y() - at.y()) < 7);
    }
}

void AnimationTest::queuedClicksWaitAtMostOneRevolution() {
    Form1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    std::atomic<int> revolutionsEnded{0};
    connect(&form.control<host::Timer>("Timer1"), &host::Timer::tick, &form,
            [&] { ++revolutionsEnded; });

    constexpr int clicks = 50;
    std::vector<int> postedAfter(clicks, -1);
    std::vector<int> handledAfter;
    std::vector<host::OptionButton*> buttons;
    for (int n = 1; n <= 6; ++n) {
        auto& button =
            form.control<host::OptionButton>(qPrintable(QStringLiteral("Option%1").arg(n)));
        buttons.push_back(&button);
        connect(&button, &host::OptionButton::Click, &form,
                [&] { handledAfter.push_back(revolutionsEnded.load()); });
    }
    QVERIFY(QTest::qWaitFor([&] { return revolutionsEnded >= 2; }, 5000));

    // Input arrives from the outside at any moment, mostly while a revolution holds the thread.
    std::thread user([&] {
        for (int k = 0; k < clicks; ++k) {
            // Every click changes the selection: Option1 and one of the others in turn.
            QWidget* target = buttons[static_cast<std::size_t>(k % 2 == 0 ? 1 + k % 5 : 0)];
            postedAfter[static_cast<std::size_t>(k)] = revolutionsEnded.load();
            queueClick(*target);
            std::this_thread::sleep_for(std::chrono::milliseconds(7));
        }
    });
    QVERIFY(QTest::qWaitFor([&] { return handledAfter.size() >= clicks; }, 20000));
    user.join();
    QCOMPARE(int(handledAfter.size()), clicks);
    for (int k = 0; k < clicks; ++k) {
        const int waited =
            handledAfter[static_cast<std::size_t>(k)] - postedAfter[static_cast<std::size_t>(k)];
        // Posted during revolution r+1 (after r had ended), handled before r+2 ends at the latest.
        QVERIFY2(waited <= 1,
                 qPrintable(QStringLiteral("click %1 waited %2 revolutions").arg(k).arg(waited)));
    }
}

QTEST_MAIN(AnimationTest)
#include "test_animation.moc"
