// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// Choosing a series: the six handlers on the real window, and the number text they write.
#include "app/form1.h"
#include "host/controls/line.h"
#include "host/controls/option_button.h"
#include "label_fit.h"
#include "series/number_text.h"

#include <QTest>
#include <cmath>

namespace {

// What a choice writes, in order: wavelengths; radius, speed, energy; the levels' energies and
// numbers, top first; the marks; the transition captions.
const QStringList written = QStringLiteral("Label27 Label28 Label29 Label7 Label12 Label16 Label17 "
                                           "Label30 Label31 Label32 Label33 Label34 Label35 "
                                           "Label36 Label37 Label38 Label40 Line3 Line4 Line5 "
                                           "Line6 Label41 Label42 Label43 Label44")
                                .split(u' ');

host::OptionButton& option(const Form1& w, int n) {
    return w.control<host::OptionButton>(qPrintable(QStringLiteral("Option%1").arg(n)));
}

// Every written field as the user reads it, a mark by its colour (0xBBGGRR).
QStringList shown(const Form1& w) {
    QStringList texts;
    for (const QString& name : written) {
        const auto* line = w.findChild<const host::Line*>(name);
        texts << (line ? QString::number(line->borderColor().value, 16)
                       : w.control<host::Label>(qPrintable(name)).caption());
    }
    return texts;
}

} // namespace

class SeriesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia)); }

    // Russian groups with a no-break space; no decimal on the window reaches 1000.
    void decimalsAreNeverGrouped() { QCOMPARE(series::decimalText(1234567.5), "1234567,5"); }

    void clickShowsTheSeries_data() {
        QTest::addColumn<int>("n");
        QTest::addColumn<QStringList>("lines"); // the wavelengths as users read them
        for (int n : {1, 3, 4, 5}) {
            QTest::addRow("level %d", n) << n << QStringList();
        }
        QTest::newRow("level 2, Balmer") << 2 << QStringList{"656", "486", "434", "410"};
        QTest::newRow("level 6, Humphreys") << 6 << QStringList{"12363", "7497", "5404", "5125"};
    }

    void clickShowsTheSeries() {
        QFETCH(int, n);
        QFETCH(QStringList, lines);
        const Form1 w;
        const int other = n == 1 ? 2 : 1; // every field changes; level 1 replaces "- 13,55"
        option(w, other).click();
        const float delayBefore = w.animation().delayCount;
        option(w, n).click();
        const QStringList seen = shown(w);
        // Measured lines: within 0.6 nm or 0.07 % of Rydberg's, but for the odd 6 → 9 (5404).
        QStringList captions;
        for (int m = n + 1; m <= n + 4; ++m) {
            const double rydberg = 1e9 / (10973731.6 * (1.0 / (n * n) - 1.0 / (m * m)));
            const double off = std::abs(seen[m - n - 1].toDouble() - rydberg);
            QVERIFY2(off <= std::max(0.6, 7e-4 * rydberg) || (n == 6 && m == 9),
                     qPrintable(seen[m - n - 1]));
            captions << QStringLiteral("%1  -  %2 =").arg(n).arg(m);
        }
        QCOMPARE(seen.mid(0, lines.size()), lines);
        // Bohr's orbit n: radius 5.28 n², speed 2.18 / n, energy −13.55 / n², as for each level.
        const auto decimal = [](double value) {
            return QString::number(std::round(value * 100) / 100).replace('.', ',');
        };
        QStringList expected{decimal(5.28 * n * n), decimal(2.18 / n), decimal(-13.55 / (n * n))};
        QStringList levels;
        for (int k = n + 4; k >= n; --k) {
            expected << decimal(-13.55 / (k * k));
            levels << QString::number(k);
        }
        // Lyman's ultraviolet lines blue, Balmer's in their colours, the infrared ones magenta.
        expected << levels
                 << (n == 2 ? QStringList{"ff", "ff00", "ffff00", "ff0000"}
                            : QStringList(4, n == 1 ? "ff0000" : "ff00ff"))
                 << captions;
        QCOMPARE(seen.mid(4), expected);
        QCOMPARE(w.animation().pathRadius, 2 * n + 2);
        QCOMPARE(w.animation().orbitRadius, 2 * n + 2);
        QVERIFY((w.animation().delayCount - delayBefore) * (n - other) > 0); // larger, slower
        for (const QString& name : written.filter(u"Label")) {
            const QString problem = captionFitProblem(w.control<host::Label>(qPrintable(name)));
            QVERIFY2(problem.isEmpty(), qPrintable(problem));
        }
    }

    void writesInOrderAndStopsAtAFailingCall_data() {
        QTest::addColumn<int>("failing"); // the calls let through before the one that fails
        for (int i = 0; i <= written.size(); ++i) {
            QTest::newRow(i == 0 ? "Value" : qPrintable(written[i - 1])) << i;
        }
    }

    // Only the selected button's handler writes, field by field in its order; a failing call ends
    // it there: what came before stays, nothing after is written.
    void writesInOrderAndStopsAtAFailingCall() {
        QFETCH(int, failing);
        Form1 w; // never activated: the state stays zero until a handler writes it
        const QStringList before = shown(w);
        w.Option6_Click(); // Option1 is the selected one
        QCOMPARE(shown(w), before);
        option(w, 3).blockSignals(true); // selected without running its handler
        option(w, 3).setChecked(true);
        w.gate().failWhen({.skip = failing});
        QVERIFY_THROWS_EXCEPTION(host::RuntimeError, w.Option3_Click());
        QCOMPARE(w.animation().pathRadius, failing > 0 ? 8 : 0);
        for (int i = 0; i < written.size(); ++i) {
            QVERIFY2((shown(w)[i] != before[i]) == (i < failing - 1), qPrintable(written[i]));
        }
    }
};

QTEST_MAIN(SeriesTest)
#include "test_series.moc"
