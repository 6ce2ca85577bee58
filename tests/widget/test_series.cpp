// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// Choosing a series on the real window: each field shows its figure of the chosen column, the
// handlers write in order and stop at a failing call.
#include "app/form1.h"
#include "host/controls/label.h"
#include "host/controls/line.h"
#include "host/controls/option_button.h"
#include "series/number_text.h"
#include "series/series_table.h"
#include "ui/control_names.h"
#include "ui/series_fields.h"

#include <QTest>

namespace {

// What a choice writes, in order.
QStringList writtenFields() {
    QStringList names;
    for (const char* name : ui::seriesFieldNames.inOrder()) {
        names << QString::fromUtf8(name);
    }
    return names;
}
const QStringList written = writtenFields();

host::OptionButton& option(const Form1& w, int n) {
    return w.control<host::OptionButton>(ui::names::options.at(n - 1));
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

// The column as the fields should show it, in the same order.
QStringList expected(const series::SeriesColumn& column) {
    QStringList texts;
    const auto add = [&texts](const auto& values, const auto& text) {
        for (const auto value : values) {
            texts << text(value);
        }
    };
    add(column.wavelengths, series::integerText);
    add(std::array{column.rotationRadius, column.speed, column.energy},
        [](double value) { return series::decimalText(value); });
    add(column.levelEnergies, [](double value) { return series::decimalText(value); });
    add(column.levelNumbers, series::integerText);
    add(column.lineColours, [](host::Bgr colour) { return QString::number(colour.value, 16); });
    add(column.transitions, [](const char* caption) { return QString::fromUtf8(caption); });
    return texts;
}

} // namespace

class SeriesTest : public QObject {
    Q_OBJECT

private slots:
    void clickShowsTheSeries_data() {
        QTest::addColumn<int>("n");
        for (int n = 1; n <= 6; ++n) {
            QTest::addRow("level %d", n) << n;
        }
    }

    void clickShowsTheSeries() {
        QFETCH(int, n);
        const Form1 w;
        const int other = n == 1 ? 2 : 1; // every field changes; level 1 replaces "- 13,55"
        option(w, other).click();
        option(w, n).click();
        const series::SeriesColumn& column = series::seriesTable().at(std::size_t(n - 1));
        QCOMPARE(shown(w), expected(column));
        QCOMPARE(w.animation().pathRadius, column.radius);
        QCOMPARE(w.animation().orbitRadius, column.radius);
        QCOMPARE(w.animation().delayCount, column.delayCount);
    }

    // The names mean what the window shows: each group listed top to bottom as the table's rows
    // are (the marks left to right, shortest first), each wavelength on its caption's row.
    void namesFollowTheLayout() {
        const Form1 w;
        const auto& names = ui::seriesFieldNames;
        const auto at = [&w](const char* name) { return w.control<QWidget>(name).geometry(); };
        const auto inOrder = [&at](const auto& group, int (QRect::*edge)() const) {
            for (std::size_t i = 1; i < group.size(); ++i) {
                QVERIFY2((at(group[i - 1]).*edge)() < (at(group[i]).*edge)(), group[i]);
            }
        };
        inOrder(names.wavelengths, &QRect::top);
        inOrder(std::array{names.radius, names.speed, names.energy}, &QRect::top);
        inOrder(names.levelEnergies, &QRect::top);
        inOrder(names.levelNumbers, &QRect::top);
        inOrder(names.marks, &QRect::left);
        inOrder(names.transitions, &QRect::top);
        for (std::size_t i = 0; i < names.wavelengths.size(); ++i) {
            QCOMPARE(at(names.wavelengths.at(i)).top(), at(names.transitions.at(i)).top());
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
        w.chooseOrbit(6); // Option1 is the selected one
        QCOMPARE(shown(w), before);
        option(w, 3).blockSignals(true); // selected without running its handler
        option(w, 3).setChecked(true);
        w.gate().failWhen({.skip = failing});
        QVERIFY_THROWS_EXCEPTION(host::RuntimeError, w.chooseOrbit(3));
        QCOMPARE(w.animation().pathRadius, failing > 0 ? 8 : 0);
        for (int i = 0; i < written.size(); ++i) {
            QVERIFY2((shown(w)[i] != before[i]) == (i < failing - 1), qPrintable(written[i]));
        }
    }
};

QTEST_MAIN(SeriesTest)
#include "test_series.moc"
