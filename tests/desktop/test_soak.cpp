// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// For `make soak`: a school day of random input, on each desktop the desktops test visits, one
// row a desktop (tests/scripts/soak runs them side by side).
#include "program_on_desktops.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QMap>
#include <QRandomGenerator>
#include <QTest>
#include <algorithm>
#include <random>

using namespace Qt::StringLiterals;

class SoakTest : public ProgramOnDesktops {
    Q_OBJECT

private slots:
    void soak_data() { addDesktopRows(); }
    // The program as the desktops test starts it, orbit 6 chosen through the reader's bus, then
    // the day; at its end the display server dies, and the program ends naming it.
    void soak() {
        QFETCH(QString, desktopName);
        QFETCH(QSize, screenSize);
        Desktop screen(*desktop::desktopNamed(desktopName), screenSize);
        const std::unique_ptr<QProcess> program = startWithReader(screen);
        QVERIFY(program);
        const qint64 pid = program->processId();
        const std::optional<SeenLayout> seen = checkLayout(screen, pid, {});
        QVERIFY(!QTest::currentTestFailed());
        chooseOrbit6(screen, pid, seen);
        QVERIFY(!QTest::currentTestFailed());
        // xdotool's input on Xvfb
        schoolDay(screen, *program, seen, screen.type().session == desktop::Session::X11);
        screen.killDisplayServer();
        QVERIFY2(program->waitForFinished(5000), "still running once its display went");
        QCOMPARE(program->exitCode(), 1);
    }

private:
    void schoolDay(const Desktop& screen, QProcess& program, const std::optional<SeenLayout>& seen,
                   bool xInput);
};

// A school day in LUMERA_SOAK_MINUTES (make soak): orbits pressed through the reader's bus at
// random moments, each press timed until the radius phrase is renamed; on X also the notice; the
// display server stopped for seconds now and then. Resident memory and open files
// stay flat after the first minute; at the end the screen agrees with the last press, and when
// the display server dies the program ends naming it.
void SoakTest::schoolDay(const Desktop& screen, QProcess& program,
                         const std::optional<SeenLayout>& seen, bool xInput) {
    const qint64 pid = program.processId();
    bool given = false;
    quint64 startValue = qEnvironmentVariable("LUMERA_SOAK_START").toULongLong(&given);
    startValue = given ? startValue : QRandomGenerator::system()->generate64();
    qInfo("soak: random start value %llu (LUMERA_SOAK_START)", startValue);
    // One sequence a desktop, from the one start value.
    std::mt19937_64 random(startValue + qHash(QByteArray(QTest::currentDataTag())));
    const auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    int orbit = 6;
    QList<int> pressMs;
    QMap<QString, int> done;
    const auto press = [&](int to) {
        const desktop::ToolResult told =
            screen.run(QStringLiteral(LUMERA_ATSPI), {QString::number(pid), u"Орбита %1"_s.arg(to)},
                       90000); // a desktop busy beside others answers slowly, yet answers
        for (const QString& line : told.err.split(u'\n')) {
            if (line.section(u' ', 1) == radiusPhrase(to)) {
                pressMs << line.section(u' ', 0, 0).toInt();
                orbit = to;
                return ++done[u"bus press"_s] > 0;
            }
        }
        qWarning("orbit %d pressed, told: %s", to, qPrintable(told.out + told.err));
        return false;
    };
    QElapsedTimer clock;
    clock.start();
    for (const int to : {1, 2, 3, 4, 5}) { // in the first minute, everything once
        QVERIFY(press(to));
    }
    if (xInput) {
        xWindowAndNotice(screen, pid, seen->atom);
    }
    screen.freezeDisplayServer(5000);
    QList<Sample> samples;
    const qint64 end = qEnvironmentVariableIntValue("LUMERA_SOAK_MINUTES") * qint64{60000};
    while (clock.elapsed() < end && !QTest::currentTestFailed()) {
        if (clock.elapsed() >= qint64(samples.size()) * 30000) {
            QVERIFY2(program.state() == QProcess::Running, "the program ended");
            samples << sampleOf(pid, double(clock.elapsed()) / 60000);
            qInfo("minute %.1f: %lld KiB resident, %lld files open", samples.back().minute,
                  samples.back().residentKib, qsizetype(samples.back().files.size()));
        }
        const int roll = pick(0, 99);
        if (roll < 40) {
            QVERIFY(press((orbit + pick(0, 4)) % 6 + 1)); // never the orbit shown
        } else if (roll < 44) {
            screen.freezeDisplayServer(pick(2000, 10000));
            ++done[u"display server stopped"_s];
        } else if (xInput && roll < 50) {
            xWindowAndNotice(screen, pid, seen->atom);
            ++done[u"notice"_s];
        }
        QTest::qWait(pick(1000, 4000));
    }
    QVERIFY(!QTest::currentTestFailed());
    samples << sampleOf(pid, double(clock.elapsed()) / 60000);
    std::ranges::sort(pressMs);
    QStringList counts;
    for (auto kind = done.cbegin(); kind != done.cend(); ++kind) {
        counts << u"%1 × %2"_s.arg(kind.value()).arg(kind.key());
    }
    // Settled in the first minute, with Wayland alone too: a frame's changes are one dirty
    // rectangle, not a region grown and reallocated at each, whose churn kept resident memory
    // growing for minutes.
    const auto settled =
        std::ranges::find_if(samples, [](const Sample& s) { return s.minute >= 1; });
    QVERIFY(settled != samples.end());
    const Sample& most =
        *std::ranges::max_element(settled, samples.end(), {}, &Sample::residentKib);
    qInfo("soak: %.1f minutes; %s; presses answered in %d ms (median), %d ms (slowest); "
          "resident %lld KiB at minute %.1f, at most %lld after, %lld at the end; files open %lld, "
          "then %lld",
          samples.back().minute, qPrintable(counts.join(u", "_s)),
          pressMs.value(pressMs.size() / 2), pressMs.value(pressMs.size() - 1),
          settled->residentKib, settled->minute, most.residentKib, samples.back().residentKib,
          qsizetype(settled->files.size()), qsizetype(samples.back().files.size()));
    QVERIFY2(most.residentKib - settled->residentKib <= 512,
             "resident memory grew after the first minute");
    QVERIFY2(samples.back().files.size() <= settled->files.size(),
             qPrintable(samples.back().files.join(u", "_s)));
    const int last = orbit == 5 ? 3 : 5;
    QVERIFY(press(last));
    if (seen) {
        const Sightings electron = watch(screen, pid, seen->atom, 2 * last + 2, 40, 0, 2);
        QVERIFY2(electron.places.size() >= 2, qPrintable(describe(electron)));
    }
}

int main(int argc, char* argv[]) {
    const QCoreApplication application(argc, argv);
    SoakTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_soak.moc"
