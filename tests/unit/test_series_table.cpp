// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// The series table against the physics it holds, and numbers as the labels write them.
#include "series/number_text.h"
#include "series/series_table.h"

#include <QTest>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// Rounded to two decimals, as the table holds every figure.
bool near(double held, double exact) {
    return std::abs(held - std::round(exact * 100) / 100) < 1e-9;
}

} // namespace

class SeriesTableTest : public QObject {
    Q_OBJECT

private slots:
    // A user's locale that writes figures otherwise than the window: a point, grouped.
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    // Column n − 1 is lower level n; a few figures typed from the table, the rest from Bohr and
    // Rydberg.
    void column_data() {
        QTest::addColumn<int>("n");
        QTest::addColumn<float>("delayCount");
        QTest::addColumn<QList<int>>("wavelengths"); // empty: checked by the formula only
        QTest::addColumn<QList<uint>>("marks");      // 0xBBGGRR
        const QList<uint> blue(4, 0xFF0000), magenta(4, 0xFF00FF);
        QTest::newRow("Lyman") << 1 << 300000.0F << QList<int>{121, 102, 97, 95} << blue;
        QTest::newRow("Balmer") << 2 << 500000.0F << QList<int>{656, 486, 434, 410}
                                << QList<uint>{0x0000FF, 0x00FF00, 0xFFFF00, 0xFF0000};
        QTest::newRow("Paschen") << 3 << 800000.0F << QList<int>{} << magenta;
        QTest::newRow("Brackett") << 4 << 1000000.0F << QList<int>{} << magenta;
        QTest::newRow("Pfund") << 5 << 1300000.0F << QList<int>{} << magenta;
        QTest::newRow("Humphreys")
            << 6 << 1500000.0F << QList<int>{12363, 7497, 5904, 5125} << magenta;
    }
    void column() {
        QFETCH(int, n);
        QFETCH(float, delayCount);
        QFETCH(QList<int>, wavelengths);
        QFETCH(QList<uint>, marks);
        const series::SeriesColumn& column = series::seriesTable().at(std::size_t(n - 1));
        QCOMPARE(column.radius, 2 * n + 2);
        QCOMPARE(column.delayCount, delayCount);
        // Bohr's orbit n: radius 5.28 n² · 10⁻¹¹ m, speed 2.18 / n Mm/s, energy −13.55 / n² eV.
        QVERIFY(near(column.rotationRadius, 5.28 * n * n));
        QVERIFY(near(column.speed, 2.18 / n));
        QVERIFY(near(column.energy, -13.55 / (n * n)));
        for (int i = 0; i < 5; ++i) { // levels n+4 … n, top first
            const int k = n + 4 - i;
            QCOMPARE(column.levelNumbers.at(i), k);
            QVERIFY2(near(column.levelEnergies.at(i), -13.55 / (k * k)),
                     qPrintable(QString::number(k)));
        }
        for (int i = 0; i < 4; ++i) { // the lines m → n, m = n+1 … n+4
            const int m = n + 1 + i;
            // Rydberg's formula rounded to the nanometre, with Bohr's R = m e⁴ / (8 ε₀² h³ c) from
            // the textbook constants: 1.097565e7 per metre.
            const double rydberg = 1e9 / (1.097565e7 * (1.0 / (n * n) - 1.0 / (m * m)));
            const int held = column.wavelengths.at(i);
            QCOMPARE(held, static_cast<int>(std::lround(rydberg)));
            if (!wavelengths.isEmpty()) {
                QCOMPARE(held, wavelengths.at(i));
            }
            QCOMPARE(QString::fromUtf8(column.transitions.at(i)),
                     QStringLiteral("%1  -  %2 =").arg(n).arg(m));
            QCOMPARE(column.lineColours.at(i).value, marks.at(i));
        }
    }

    // Figures in the Russian form, the decimal comma, whatever the user's locale.
    void decimalText_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("two decimals") << 5.28 << u"5,28"_s;
        QTest::newRow("negative") << -13.55 << u"-13,55"_s;
        QTest::newRow("whole: no separator") << 132.0 << u"132"_s;
        QTest::newRow("below one") << 0.73 << u"0,73"_s;
        QTest::newRow("never grouped") << 1234567.5 << u"1234567,5"_s;
    }

    void decimalText() {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(series::decimalText(value), text);
    }
};

QTEST_GUILESS_MAIN(SeriesTableTest)
#include "test_series_table.moc"
