// Choosing a series: the table, the number texts, and the handlers on the real window.
#include "app/form1.h"
#include "host/label.h"
#include "host/line.h"
#include "host/option_button.h"
#include "host/picture_box.h"
#include "host/timer.h"
#include "label_fit.h"
#include "queued_click.h"
#include "series/number_text.h"
#include "series/series_table.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QTest>
#include <cmath>

using series::seriesTable;

namespace {

// The fields a choice writes, in the order the handler writes them.
const QStringList writtenLabels{"Label27", "Label28", "Label29", "Label7",  "Label12", "Label16",
                                "Label17", "Label30", "Label31", "Label32", "Label33", "Label34",
                                "Label35", "Label36", "Label37", "Label38", "Label40"};
const QStringList marks{"Line3", "Line4", "Line5", "Line6"};
const QStringList transitions{"Label41", "Label42", "Label43", "Label44"};

// What the window must show for lower level n, written out as a teacher reads it (comma locale).
struct Expected {
    QStringList labels; // in the order of writtenLabels
    QList<quint32> colours;
    QStringList transitions;
    int radius;
    float delay;
};

Expected expectedFor(int n) {
    static const QList<Expected> all{
        {{"121", "102", "97", "95", "5,28", "2,18", "-13,55", "-0,54", "-0,85", "-1,51", "-3,39",
          "-13,55", "5", "4", "3", "2", "1"},
         {0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000},
         {"1  -  2 =", "1  -  3 =", "1  -  4 =", "1  -  5 ="},
         4,
         300000},
        {{"656", "486", "434", "410", "21,12", "1,09", "-3,39", "-0,38", "-0,54", "-0,85", "-1,51",
          "-3,39", "6", "5", "4", "3", "2"},
         {0x0000FF, 0x00FF00, 0xFFFF00, 0xFF0000},
         {"2  -  3 =", "2  -  4 =", "2  -  5 =", "2  -  6 ="},
         6,
         500000},
        {{"1874", "1281", "1093", "1004", "47,52", "0,73", "-1,51", "-0,28", "-0,38", "-0,54",
          "-0,85", "-1,51", "7", "6", "5", "4", "3"},
         {0xFF00FF, 0xFF00FF, 0xFF00FF, 0xFF00FF},
         {"3  -  4 =", "3  -  5 =", "3  -  6 =", "3  -  7 ="},
         8,
         800000},
        {{"4049", "2624", "2165", "1944", "84,48", "0,55", "-0,85", "-0,21", "-0,28", "-0,38",
          "-0,54", "-0,85", "8", "7", "6", "5", "4"},
         {0xFF00FF, 0xFF00FF, 0xFF00FF, 0xFF00FF},
         {"4  -  5 =", "4  -  6 =", "4  -  7 =", "4  -  8 ="},
         10,
         1000000},
        {{"7455", "4650", "3738", "3295", "132", "0,44", "-0,54", "-0,17", "-0,21", "-0,28",
          "-0,38", "-0,54", "9", "8", "7", "6", "5"},
         {0xFF00FF, 0xFF00FF, 0xFF00FF, 0xFF00FF},
         {"5  -  6 =", "5  -  7 =", "5  -  8 =", "5  -  9 ="},
         12,
         1300000},
        {{"12363", "7497", "5404", "5125", "190,08", "0,36", "-0,38", "-0,14", "-0,17", "-0,21",
          "-0,28", "-0,38", "10", "9", "8", "7", "6"},
         {0xFF00FF, 0xFF00FF, 0xFF00FF, 0xFF00FF},
         {"6  -  7 =", "6  -  8 =", "6  -  9 =", "6  -  10 ="},
         14,
         1500000},
    };
    return all.at(n - 1);
}

// Two decimals, halves away from zero.
double round2(double v) {
    return std::round(v * 100) / 100;
}

void addLevelRows() {
    QTest::addColumn<int>("level");
    for (int n = 1; n <= 6; ++n) {
        QTest::newRow(qPrintable(QStringLiteral("level %1").arg(n))) << n;
    }
}

// The real window, shown, activated, with the animation stopped so a test runs the ticks.
struct Window {
    Form1 form;
    explicit Window(bool stopTimer = true) {
        form.show();
        if (!QTest::qWaitForWindowActive(&form)) {
            qFatal("window never became active");
        }
        if (stopTimer) {
            form.control<host::Timer>("Timer1").setEnabled(false);
        }
    }
    host::Label& label(const QString& name) { return form.control<host::Label>(qPrintable(name)); }
    host::OptionButton& option(int n) {
        return form.control<host::OptionButton>(qPrintable(QStringLiteral("Option%1").arg(n)));
    }
    void click(int n) { QTest::mouseClick(&option(n), Qt::LeftButton, {}, QPoint(8, 8)); }

    void verifyShows(int n) {
        const Expected e = expectedFor(n);
        for (int i = 0; i < writtenLabels.size(); ++i) {
            QCOMPARE(label(writtenLabels[i]).caption(), e.labels[i]);
        }
        for (int i = 0; i < marks.size(); ++i) {
            QCOMPARE(form.control<host::Line>(qPrintable(marks[i])).borderColor().value,
                     e.colours[i]);
        }
        for (int i = 0; i < transitions.size(); ++i) {
            QCOMPARE(label(transitions[i]).caption(), e.transitions[i]);
        }
        QCOMPARE(form.animation().pathRadius, e.radius);
        QCOMPARE(form.animation().orbitRadius, e.radius);
        QCOMPARE(form.animation().delayCount, e.delay);
    }
};

} // namespace

class SeriesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia)); }

    void tableFollowsThePhysics_data() { addLevelRows(); }
    void tableFollowsThePhysics();
    void numberText_data();
    void numberText();
    void everyValueShowsWhole_data();
    void everyValueShowsWhole();
    void clickFillsTheColumn_data() { addLevelRows(); }
    void clickFillsTheColumn();
    void backFromLevel6RestoresLevel1();
    void unselectedHandlerWritesNothing();
    void writesInOrderAndStopsAtAFailingCall_data();
    void writesInOrderAndStopsAtAFailingCall();
    void choiceDuringARevolutionTakesTheNext();
};

void SeriesTest::tableFollowsThePhysics() {
    QFETCH(int, level);
    const auto& column = seriesTable().at(static_cast<std::size_t>(level - 1));
    const Expected e = expectedFor(level);
    QCOMPARE(column.radius, 2 * level + 2);
    QCOMPARE(column.delayCount, e.delay);
    QCOMPARE(column.orbitRadiusNm, round2(5.28 * level * level));
    QCOMPARE(column.speed, round2(2.18 / level));
    QCOMPARE(column.energy, round2(-13.55 / (level * level)));
    for (int i = 0; i < 5; ++i) {
        const int k = level + 4 - i;
        QCOMPARE(column.levelNumbers[static_cast<std::size_t>(i)], k);
        QCOMPARE(column.levelEnergies[static_cast<std::size_t>(i)], round2(-13.55 / (k * k)));
    }
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(QString::fromUtf8(column.transitions[static_cast<std::size_t>(i)]),
                 QStringLiteral("%1  -  %2 =").arg(level).arg(level + 1 + i));
        QCOMPARE(QString::number(column.wavelengths[static_cast<std::size_t>(i)]), e.labels[i]);
        QCOMPARE(column.lineColours[static_cast<std::size_t>(i)].value, e.colours[i]);
    }
}

void SeriesTest::numberText_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    for (const auto& [name, comma] : {std::pair{"ru_RU", true}, std::pair{"en_US", false}}) {
        const auto row = [&, name = name, comma = comma](double v, const char* withComma) {
            QString text = QString::fromUtf8(withComma);
            if (!comma) {
                text.replace(QLatin1Char(','), QLatin1Char('.'));
            }
            QTest::addRow("%s %s", name, withComma) << QString::fromLatin1(name) << v << text;
        };
        row(132, "132");
        row(0.73, "0,73");
        row(-13.55, "-13,55");
        row(190.08, "190,08");
        row(5.28, "5,28");
        row(-0.14, "-0,14");
        row(12363, "12363");
        row(1234567.5, "1234567,5");
    }
}

void SeriesTest::numberText() {
    QFETCH(QString, locale);
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(series::decimalText(value, QLocale(locale)), text);
    QCOMPARE(series::integerText(12363), QStringLiteral("12363"));
    QCOMPARE(series::integerText(-5), QStringLiteral("-5"));
}

void SeriesTest::everyValueShowsWhole_data() {
    QTest::addColumn<QString>("locale");
    QTest::newRow("comma") << QStringLiteral("ru_RU");
    QTest::newRow("point") << QStringLiteral("en_US");
}

void SeriesTest::everyValueShowsWhole() {
    QFETCH(QString, locale);
    struct LocaleGuard {
        explicit LocaleGuard(const QString& name) { QLocale::setDefault(QLocale(name)); }
        ~LocaleGuard() { QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia)); }
    } guard(locale);
    Window w;
    for (int n = 1; n <= 6; ++n) {
        w.click(n);
        QStringList all = writtenLabels + transitions;
        for (const QString& name : all) {
            host::Label& label = w.label(name);
            const QString problem = captionFitProblem(label);
            QVERIFY2(problem.isEmpty(),
                     qPrintable(QStringLiteral("level %1: %2").arg(n).arg(problem)));
            // Nothing in front of a value hides its ink.
            const QRect textOnParent = captionInk(label).translated(label.pos());
            for (QObject* sibling : label.parentWidget()->children()) {
                auto* other = qobject_cast<QWidget*>(sibling);
                const auto& order = label.parentWidget()->children();
                if (other && other != &label && order.indexOf(other) > order.indexOf(&label) &&
                    !other->testAttribute(Qt::WA_TransparentForMouseEvents)) {
                    QVERIFY2(!other->geometry().intersects(textOnParent),
                             qPrintable(QStringLiteral("level %1: %2 hidden by %3")
                                            .arg(n)
                                            .arg(name, other->objectName())));
                }
            }
        }
    }
}

void SeriesTest::clickFillsTheColumn() {
    QFETCH(int, level);
    Window w(false);
    auto& timer = w.form.control<host::Timer>("Timer1");
    QVERIFY(timer.isEnabled());
    w.click(level == 1 ? 2 : 1); // so that every level is a change of selection
    w.click(level);
    w.verifyShows(level);
    QVERIFY(timer.isEnabled());

    timer.setEnabled(false);
    w.click(level == 6 ? 5 : 6);
    QVERIFY(!timer.isEnabled());
}

void SeriesTest::backFromLevel6RestoresLevel1() {
    Window w;
    w.click(6);
    w.verifyShows(6);
    w.click(1);
    w.verifyShows(1);
    // The design caption's blank is gone once level 1 has been chosen.
    QCOMPARE(w.label(QStringLiteral("Label17")).caption(), QStringLiteral("-13,55"));
}

void SeriesTest::unselectedHandlerWritesNothing() {
    Window w;
    const AnimationState before = w.form.animation();
    w.form.gate().startRecording();
    w.form.Option3_Click();
    QCOMPARE(w.form.gate().calls().size(), std::size_t{1});
    QCOMPARE(w.form.gate().calls()[0].operation, host::Operation::Value);
    QCOMPARE(w.form.animation().delayCount, before.delayCount);
    QCOMPARE(w.label(QStringLiteral("Label27")).caption(), QStringLiteral("121"));
}

void SeriesTest::writesInOrderAndStopsAtAFailingCall_data() {
    QTest::addColumn<int>("failing");
    for (int call = 1; call <= 26; ++call) {
        QTest::addRow("call %d", call) << call;
    }
}

void SeriesTest::writesInOrderAndStopsAtAFailingCall() {
    QFETCH(int, failing);
    Window w;
    {
        const QSignalBlocker quiet(
            w.option(2)); // selected without its handler: nothing written yet
        w.option(2).setChecked(true);
    }
    QCOMPARE(w.label(QStringLiteral("Label27")).caption(), QStringLiteral("121"));

    // The order: Value, the 17 labels, the 4 marks, the 4 transition captions.
    std::vector<host::CallRecord> order{{host::Operation::Value, QStringLiteral("Option2")}};
    for (const QString& name : writtenLabels) {
        order.push_back({host::Operation::Caption, name});
    }
    for (const QString& name : marks) {
        order.push_back({host::Operation::BorderColor, name});
    }
    for (const QString& name : transitions) {
        order.push_back({host::Operation::Caption, name});
    }
    QCOMPARE(order.size(), std::size_t{26});

    w.form.gate().startRecording();
    w.form.gate().failWhen({.skip = failing - 1});
    QVERIFY_THROWS_EXCEPTION(host::RuntimeError, w.form.Option2_Click());
    const auto& calls = w.form.gate().calls();
    QCOMPARE(calls.size(), static_cast<std::size_t>(failing));
    QVERIFY(std::equal(calls.begin(), calls.end(), order.begin()));

    // Writes before the failing call stay; none after it happened.
    const Expected one = expectedFor(1);
    const Expected two = expectedFor(2);
    QCOMPARE(w.form.animation().delayCount, failing == 1 ? one.delay : two.delay);
    for (int i = 0; i < writtenLabels.size(); ++i) {
        const bool written = i + 2 < failing;
        QCOMPARE(w.label(writtenLabels[i]).caption(),
                 writtenLabels[i] == QStringLiteral("Label17") && !written
                     ? QStringLiteral("- 13,55")
                     : (written ? two.labels[i] : one.labels[i]));
    }
    for (int i = 0; i < marks.size(); ++i) {
        const bool written = i + 19 < failing;
        QCOMPARE(w.form.control<host::Line>(qPrintable(marks[i])).borderColor().value,
                 written ? two.colours[i] : one.colours[i]);
    }
    for (int i = 0; i < transitions.size(); ++i) {
        const bool written = i + 23 < failing;
        QCOMPARE(w.label(transitions[i]).caption(),
                 written ? two.transitions[i] : one.transitions[i]);
    }
}

void SeriesTest::choiceDuringARevolutionTakesTheNext() {
    Window w;
    w.form.animation().delayCount = 0;
    auto& picture = w.form.control<host::PictureBox>("Picture3");
    // The orbit each step redraws, seen at its first Circle call of the step.
    QList<int> orbitPerStep;
    int circles = 0;
    w.form.gate().setObserver([&](const host::CallRecord& call) {
        if (call.operation != host::Operation::Circle) {
            return;
        }
        if (circles++ % 3 == 0) {
            orbitPerStep << w.form.animation().orbitRadius;
        }
        if (circles == 300) {
            // Two choices while the revolution holds the thread: the last one wins.
            for (int n : {3, 5}) {
                queueClick(w.option(n));
            }
        }
    });
    w.form.control<host::Timer>("Timer1").setEnabled(true);
    QVERIFY(QTest::qWaitFor([&] { return orbitPerStep.size() >= qsizetype{3} * 360; }, 10000));
    w.form.control<host::Timer>("Timer1").setEnabled(false);
    // The running revolution ends on orbit 1; every later one runs on orbit 5.
    QCOMPARE(orbitPerStep.mid(0, 360), QList<int>(360, 4));
    QCOMPARE(orbitPerStep.mid(360, 720), QList<int>(720, 12));
    w.verifyShows(5);
    Q_UNUSED(picture);
}

QTEST_MAIN(SeriesTest)
#include "test_series.moc"
