// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// The electron's path and its waits, without a window.
#include "animation/idle_wait.h"
#include "animation/orbit_path.h"
#include "animation/revolution_wait.h"
#include "host/dispatch/runtime_error.h"

#include <QLineF>
#include <QTest>
#include <limits>

using namespace std::chrono_literals;
using animation::WaitClock;

namespace {

// A clock that moves only when the revolution draws or sleeps: a sleep wakes `late` after its
// deadline, and `stall` passes once, before the wait of step 180.
struct RevolutionClock {
    std::chrono::nanoseconds drawing{};
    std::chrono::nanoseconds late{};
    std::chrono::nanoseconds stall{};
    WaitClock::time_point now{};
    int sleeps = 0;

    // How long a revolution of `passes` a step lasts.
    std::chrono::nanoseconds revolution(std::int32_t passes) {
        const animation::Pace pace{.now = [this] { return now; },
                                   .sleepUntil =
                                       [this](WaitClock::time_point until) {
                                           ++sleeps;
                                           now = std::max(now, until) + late;
                                       }};
        const WaitClock::time_point start = now;
        animation::RevolutionWait waits(pace);
        for (int step = 1; step <= 360; ++step) {
            now += drawing + (step == 180 ? stall : 0ns);
            waits.wait(passes);
        }
        return now - start;
    }
};

} // namespace

class AnimationRulesTest : public QObject {
    Q_OBJECT

private slots:
    void path_data() {
        QTest::addColumn<int>("step");
        QTest::addColumn<QPointF>("expected");
        // Orbit 4, y upward; a step is 6.28/360, so each turning point comes a little late.
        QTest::newRow("1, just right of the top") << 1 << QPointF(0.06977424, 3.9993913);
        QTest::newRow("90, short of the rightmost") << 90 << QPointF(3.9999988, 0.0031853069);
        QTest::newRow("360, short of the top") << 360 << QPointF(-0.012741207, 3.9999797);
    }
    void path() {
        QFETCH(int, step);
        QFETCH(QPointF, expected);
        const auto at = animation::electronCentre(4, static_cast<std::int16_t>(step));
        QVERIFY2(QLineF(QPointF(at.x, at.y), expected).length() < 1e-5,
                 qPrintable(QStringLiteral("%1, %2").arg(at.x).arg(at.y)));
    }

    // A pass lasts 5 ns of the monotonic clock; each step's deadline follows from the one
    // before, so the circles' drawing and late wake-ups do not add up over a revolution.
    void revolutionLasts_data() {
        QTest::addColumn<int>("passes");
        QTest::addColumn<qint64>("drawingUs");
        QTest::addColumn<qint64>("lateUs");
        QTest::addColumn<qint64>("stallMs");
        QTest::addColumn<qint64>("expectedUs");
        QTest::addColumn<int>("sleeps");
        QTest::newRow("level 1: 0.54 s") << 300000 << 0LL << 0LL << 0LL << 540000LL << 360;
        QTest::newRow("level 6: 2.7 s") << 1500000 << 0LL << 0LL << 0LL << 2700000LL << 360;
        QTest::newRow("drawing and late wake-ups not added")
            << 300000 << 30LL << 100LL << 0LL << 540100LL << 360;
        QTest::newRow("no pass: no sleep") << 0 << 30LL << 0LL << 0LL << 10800LL << 0;
        QTest::newRow("a stall not raced to make up")
            << 300000 << 0LL << 0LL << 1000LL << 1540000LL << 360;
    }
    void revolutionLasts() {
        QFETCH(int, passes);
        QFETCH(qint64, drawingUs);
        QFETCH(qint64, lateUs);
        QFETCH(qint64, stallMs);
        QFETCH(qint64, expectedUs);
        QFETCH(int, sleeps);
        RevolutionClock clock{std::chrono::microseconds(drawingUs),
                              std::chrono::microseconds(lateUs),
                              std::chrono::milliseconds(stallMs)};
        const auto took = clock.revolution(passes);
        QCOMPARE(std::chrono::duration_cast<std::chrono::microseconds>(took).count(), expectedUs);
        QCOMPARE(clock.sleeps, sleeps);
    }

    // To nearest, halves to even; outside the 32-bit range, or NaN, the overflow error (6).
    void waitCount_data() {
        QTest::addColumn<float>("delay");
        QTest::addColumn<qint64>("passes"); // -1: overflow
        QTest::newRow("nearest, up") << 1.75F << qint64{2};
        QTest::newRow("half to even, down") << 2.5F << qint64{2};
        QTest::newRow("half to even, up") << 3.5F << qint64{4};
        QTest::newRow("largest single below 2^31") << 2147483520.0F << qint64{2147483520};
        QTest::newRow("2^31 overflows") << 2147483648.0F << qint64{-1};
        QTest::newRow("-2^31") << -2147483648.0F << qint64{std::numeric_limits<int>::min()};
        QTest::newRow("below -2^31 overflows") << -2147483904.0F << qint64{-1};
        QTest::newRow("NaN") << std::numeric_limits<float>::quiet_NaN() << qint64{-1};
    }
    void waitCount() {
        QFETCH(float, delay);
        QFETCH(qint64, passes);
        if (passes == -1) {
            try {
                static_cast<void>(animation::roundToInt32(delay));
                QFAIL("no overflow");
            } catch (const host::RuntimeError& error) {
                QCOMPARE(error.number(), 6);
            }
            return;
        }
        QCOMPARE(animation::roundToInt32(delay), passes);
    }
};

QTEST_GUILESS_MAIN(AnimationRulesTest)
#include "test_animation_rules.moc"
