// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// The electron's path and its wait's count, without a window.
#include "animation/idle_wait.h"
#include "animation/orbit_path.h"
#include "host/dispatch/runtime_error.h"

#include <QLineF>
#include <QTest>
#include <limits>

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
