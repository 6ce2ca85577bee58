// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// Form1's activation on the real window: the orbits drawn, the state set, the timer on, once.
#include "app/form1.h"
#include "host/controls/option_button.h"
#include "host/controls/picture_box.h"
#include "host/controls/timer.h"
#include "series/series_table.h"
#include "ui/control_names.h"

#include <QTest>

namespace {

QList<double> stateOf(const Form1& form) {
    const ui::AnimationState& s = form.animation();
    return {static_cast<double>(s.pathRadius), static_cast<double>(s.orbitRadius), s.delayCount};
}

// The state a choice of `orbit` writes: its column of the series table.
QList<double> stateOfOrbit(int orbit) {
    const series::SeriesColumn& c = series::seriesTable().at(std::size_t(orbit - 1));
    return {double(c.radius), double(c.radius), c.delayCount};
}

} // namespace

class Form1Test : public QObject {
    Q_OBJECT

private slots:
    // Six orbits about the centre of the 448-pixel inside, radii 4 … 14 of its 30 units; level 1's
    // state; the timer on. Again: level 1's state whatever is selected, the timer on only with
    // Option1.
    void activationDrawsTheOrbitsAndStartsTheTimer() {
        Form1 form;
        auto& timer = form.control<host::Timer>(ui::names::timer1);
        QVERIFY(!timer.isEnabled());
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QCOMPARE(stateOf(form), stateOfOrbit(1));
        QVERIFY(timer.isEnabled());
        QCOMPARE(timer.interval(), 10); // the pause between revolutions, where input is answered
        const QImage drawing = form.control<host::PictureBox>(ui::names::picture3).drawing();
        for (int r = 4; r <= 14; r += 2) { // ink within a pixel, right of the nucleus
            const int x = qRound(224 + r * 448.0 / 30);
            const auto ink = [&](int dx) { return qGray(drawing.pixel(x + dx, 224)) < 100; };
            QVERIFY2(ink(-1) || ink(0) || ink(1), qPrintable(QString::number(r)));
        }
        form.control<host::OptionButton>(ui::names::option3).setChecked(true);
        timer.setEnabled(false);
        // Raised once: a window that gets the focus back keeps the orbit chosen.
        QWidget other;
        other.show();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QCOMPARE(stateOf(form), stateOfOrbit(3));
        form.Form_Activate();
        QCOMPARE(stateOf(form), stateOfOrbit(1));
        QVERIFY(!timer.isEnabled());
    }
};

QTEST_MAIN(Form1Test)
#include "test_form1.moc"
