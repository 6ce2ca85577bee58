// Choosing a series: the six handlers on the real window, and the number text they write.
#include "app/form1.h"
#include "host/label.h"
#include "host/line.h"
#include "host/option_button.h"
#include "host/timer.h"
#include "label_fit.h"
#include "queued_click.h"
#include "series/number_text.h"

#include <QTest>
#include <cmath>

namespace {

// What a choice writes, in its order: wavelengths; radius, speed, energy; the levels' energies and
// numbers, top first; the marks; the transition captions.
const QStringList written{"Label27", "Label28", "Label29", "Label7",  "Label12",
                          "Label16", "Label17", "Label30", "Label31", "Label32",
                          "Label33", "Label34", "Label35", "Label36", "Label37",
                          "Label38", "Label40", "Line3",   "Line4",   "Line5",
                          "Line6",   "Label41", "Label42", "Label43", "Label44"};

// Two decimals as the locale writes them: 5.28 n² is 190,08 for n = 6.
QString decimal(double value) {
    return QString::number(std::round(value * 100) / 100).replace('.', QLocale().decimalPoint());
}

// The real window as it opens: activated, the timer running.
struct Opened : Form1 {
    Opened() {
        show();
        if (!QTest::qWaitForWindowActive(this)) {
            qFatal("window never became active");
        }
    }
    host::Timer& timer() const { return control<host::Timer>("Timer1"); }
    host::Label& label(const QString& name) const { return control<host::Label>(qPrintable(name)); }
    host::OptionButton& option(int n) const {
        return control<host::OptionButton>(qPrintable(QStringLiteral("Option%1").arg(n)));
    }
    void click(int n) const { QTest::mouseClick(&option(n), Qt::LeftButton, {}, QPoint(8, 8)); }
    // Every written field as text, a mark by its colour (0xBBGGRR).
    QStringList shown() const {
        QStringList texts;
        for (const QString& name : written) {
            texts << (name.startsWith("Line")
                          ? QString::number(
                                control<host::Line>(qPrintable(name)).borderColor().value, 16)
                          : label(name).caption());
        }
        return texts;
    }
};

} // namespace

class SeriesTest : public QObject {
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia)); }
    // The window's decimals are all below 1000; Russian would group with a no-break space.
    void decimalsAreNeverGrouped() {
        QCOMPARE(series::decimalText(1234567.5, QLocale(QLocale::Russian)), "1234567,5");
        QCOMPARE(series::decimalText(-1234567.25, QLocale(QLocale::English)), "-1234567.25");
    }
    void clickShowsTheSeries_data();
    void clickShowsTheSeries();
    void writesOnlyWhenSelectedAndInOrder();
    void choiceDuringARevolutionTakesTheNext();
};

void SeriesTest::clickShowsTheSeries_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("n");
    QTest::addColumn<QStringList>("wavelengths");
    QTest::addColumn<double>("delay");
    // Measured lines from n+1 … n+4 down to n, in nm: no formula gives them all (6 → 9 is 5404).
    const std::array<std::tuple<const char*, QStringList, double>, 6> series{{
        {"Lyman", {"121", "102", "97", "95"}, 300000},
        {"Balmer", {"656", "486", "434", "410"}, 500000},
        {"Paschen", {"1874", "1281", "1093", "1004"}, 800000},
        {"Brackett", {"4049", "2624", "2165", "1944"}, 1000000},
        {"Pfund", {"7455", "4650", "3738", "3295"}, 1300000},
        {"Humphreys", {"12363", "7497", "5404", "5125"}, 1500000},
    }};
    for (const char* locale : {"ru_RU", "en_US"}) {
        for (int n = 1; n <= 6; ++n) {
            const auto& [name, wavelengths, delay] = series.at(static_cast<std::size_t>(n - 1));
            QTest::addRow("%s, %s", name, locale) << locale << n << wavelengths << delay;
        }
    }
}

void SeriesTest::clickShowsTheSeries() {
    QFETCH(QString, locale);
    QFETCH(int, n);
    QFETCH(QStringList, wavelengths);
    QFETCH(double, delay);
    QLocale::setDefault(QLocale(locale));
    const Opened w;
    w.click(n == 1 ? 2 : 1); // every level a change; level 1 replaces the design's "- 13,55"
    w.click(n);
    // Bohr's orbit n: radius 5.28 n², speed 2.18 / n, energy −13.55 / n², the diagram's levels.
    const QStringList orbit{decimal(5.28 * n * n), decimal(2.18 / n), decimal(-13.55 / (n * n))};
    QStringList energies;
    QStringList levels;
    for (int k = n + 4; k >= n; --k) {
        energies << decimal(-13.55 / (k * k));
        levels << QString::number(k);
    }
    // Lyman's ultraviolet lines blue, Balmer's in their colours, the infrared ones magenta.
    const QStringList marks = n == 1   ? QStringList(4, "ff0000")
                              : n == 2 ? QStringList{"ff", "ff00", "ffff00", "ff0000"}
                                       : QStringList(4, "ff00ff");
    QStringList captions;
    for (int m = n + 1; m <= n + 4; ++m) {
        captions << QStringLiteral("%1  -  %2 =").arg(n).arg(m);
    }
    QCOMPARE(w.shown(), wavelengths + orbit + energies + levels + marks + captions);
    QCOMPARE(w.animation().pathRadius, 2 * n + 2);
    QCOMPARE(w.animation().orbitRadius, 2 * n + 2);
    QCOMPARE(w.animation().delayCount, delay);

    // Every value shows whole, and nothing stacked in front of a label hides its ink.
    for (const QString& name : written.filter("Label")) {
        host::Label& label = w.label(name);
        QVERIFY2(captionFitProblem(label).isEmpty(), qPrintable(captionFitProblem(label)));
        const QRect ink = captionInk(label).translated(label.pos());
        const QObjectList& siblings = label.parentWidget()->children();
        for (QObject* above : siblings.mid(siblings.indexOf(&label) + 1)) {
            auto* other = qobject_cast<QWidget*>(above);
            QVERIFY2(!other || other->testAttribute(Qt::WA_TransparentForMouseEvents) ||
                         !other->geometry().intersects(ink),
                     qPrintable(name + " hidden by " + above->objectName()));
        }
    }
    // A choice leaves the timer as it was.
    QVERIFY(w.timer().isEnabled());
    w.timer().setEnabled(false);
    w.click(n == 6 ? 5 : 6);
    QVERIFY(!w.timer().isEnabled());
}

// A handler asks its own button first; only the selected one writes, every field in its order.
void SeriesTest::writesOnlyWhenSelectedAndInOrder() {
    Opened w;
    w.gate().startRecording();
    QList<host::CallRecord> expected;
    for (auto handler : {&Form1::Option2_Click, &Form1::Option3_Click, &Form1::Option4_Click,
                         &Form1::Option5_Click, &Form1::Option6_Click}) {
        (w.*handler)();
        expected.append(
            {host::Operation::Value, QStringLiteral("Option%1").arg(expected.size() + 2)});
    }
    QCOMPARE(w.animation().delayCount, 300000.0F);
    w.Option1_Click();
    expected.append({host::Operation::Value, QStringLiteral("Option1")});
    for (const QString& name : written) {
        const bool mark = name.startsWith("Line");
        expected.append({mark ? host::Operation::BorderColor : host::Operation::Caption, name});
    }
    const auto& calls = w.gate().calls();
    QVERIFY(QList<host::CallRecord>(calls.begin(), calls.end()) == expected);
}

void SeriesTest::choiceDuringARevolutionTakesTheNext() {
    Opened w;
    QList<int> orbits; // the orbit radius at every Circle call, three a step
    w.gate().setObserver([&](const host::CallRecord& call) {
        if (call.operation == host::Operation::Circle) {
            orbits << w.animation().orbitRadius;
            if (orbits.size() == 900) { // two choices while the revolution holds the thread
                queueClick(w.option(3));
                queueClick(w.option(5));
            }
        }
    });
    QVERIFY(QTest::qWaitFor([&] { return orbits.size() >= qsizetype{3} * 1080; }, 10000));
    // The running revolution ends on orbit 1; the last choice, orbit 5, runs the next ones.
    QCOMPARE(orbits.mid(0, 1080), QList<int>(1080, 4));
    QCOMPARE(orbits.mid(1080, 2160), QList<int>(2160, 12));
    QCOMPARE(w.label("Label27").caption(), QStringLiteral("7455"));
}

QTEST_MAIN(SeriesTest)
#include "test_series.moc"
