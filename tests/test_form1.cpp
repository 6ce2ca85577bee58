// Form1's activation and ownership notice, on the real window.
#include "app/form1.h"
#include "host/label.h"
#include "host/option_button.h"
#include "host/picture_box.h"
#include "host/timer.h"

#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <memory>

namespace {

// Where the orbits cross the horizontal right of the nucleus: the first black pixel of each.
QList<int> orbitCrossings(const Form1& form) {
    const QImage drawing = form.control<host::PictureBox>("Picture3").drawing();
    const int y = drawing.height() / 2;
    QList<int> xs;
    for (int x = drawing.width() / 2 + 20; x < drawing.width(); ++x) {
        if (qGray(drawing.pixel(x, y)) < 100 && qGray(drawing.pixel(x - 1, y)) >= 100) {
            xs << x;
        }
    }
    return xs;
}

QList<double> stateOf(const Form1& form) {
    const AnimationState& s = form.animation();
    return {static_cast<double>(s.pathRadius), static_cast<double>(s.orbitRadius), s.delayCount};
}

// Closes the modal box open 50 ms from now, from inside its own loop, and says what it showed.
std::shared_ptr<QStringList> closeNextBox() {
    auto seen = std::make_shared<QStringList>();
    QTimer::singleShot(50, [seen] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            *seen << box->windowTitle() << box->text() << QString::number(box->icon())
                  << QString::number(box->buttons().size());
            box->accept();
        }
    });
    return seen;
}

} // namespace

class Form1Test : public QObject {
    Q_OBJECT

private slots:
    void firstActivationDrawsTheOrbitsAndStartsTheTimer();
    void laterActivationResetsTheStateAndLeavesTheTimer();
    void doubleClickOnTheHeadingShowsTheNotice();
};

void Form1Test::firstActivationDrawsTheOrbitsAndStartsTheTimer() {
    Form1 form;
    auto& timer = form.control<host::Timer>("Timer1");
    QCOMPARE(stateOf(form), (QList<double>{0, 0, 0}));
    QVERIFY(!timer.isEnabled());
    QVERIFY(form.control<host::OptionButton>("Option1").isChecked());

    form.gate().startRecording();
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QCOMPARE(stateOf(form), (QList<double>{4, 4, 300000}));
    QVERIFY(timer.isEnabled());
    const QList<int> xs = orbitCrossings(form);
    QCOMPARE(xs.size(), 6);
    for (int i = 0; i < 6; ++i) { // radii 4 … 14 of a 30-unit scale on 448 pixels
        QVERIFY2(std::abs(xs[i] - (224 + (4 + 2 * i) * 448.0 / 30)) <= 1.0,
                 qPrintable(QStringLiteral("orbit %1 at %2").arg(i + 1).arg(xs[i])));
    }

    // Activated again, or painted again, the window is not activated a second time.
    QEvent deactivate(QEvent::WindowDeactivate);
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&form, &deactivate);
    QApplication::sendEvent(&form, &activate);
    form.repaint();
    QTest::qWait(100);
    const auto& calls = form.gate().calls();
    const host::CallRecord scale{host::Operation::Scale, QStringLiteral("Picture3")};
    QCOMPARE(std::count(calls.begin(), calls.end(), scale), 1);
}

void Form1Test::laterActivationResetsTheStateAndLeavesTheTimer() {
    Form1 form;
    auto& timer = form.control<host::Timer>("Timer1");
    form.control<host::OptionButton>("Option3").setChecked(true);
    form.Option3_Click();
    QCOMPARE(stateOf(form), (QList<double>{8, 8, 800000}));
    form.Form_Activate();
    QCOMPARE(stateOf(form), (QList<double>{4, 4, 300000}));
    QVERIFY(!timer.isEnabled()); // started only with Option1 selected

    form.control<host::OptionButton>("Option1").setChecked(true);
    timer.setEnabled(true);
    form.Form_Activate();
    QVERIFY(timer.isEnabled());
}

void Form1Test::doubleClickOnTheHeadingShowsTheNotice() {
    Form1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    const QList<double> before = stateOf(form);
    auto& heading = form.control<host::Label>("Label1");

    const auto seen = closeNextBox();
    QTest::mouseDClick(&heading, Qt::LeftButton);
    QCOMPARE(*seen, (QStringList{"Прудупреждение",
                                 "Права собственности на данный программный продукт принадлежат "
                                 "Соколову А. В.",
                                 QString::number(QMessageBox::Information), "1"}));
    QCOMPARE(stateOf(form), before);
    QCOMPARE(heading.caption(), QStringLiteral("ЛЮМЕРА"));
    QVERIFY(form.control<host::Timer>("Timer1").isEnabled());

    // A single click on the heading, or a double click elsewhere, shows nothing.
    for (const char* name : {"Label1", "Label2", "Label12", "Label20", "Label27"}) {
        const auto none = closeNextBox();
        auto& label = form.control<host::Label>(name);
        if (qstrcmp(name, "Label1") == 0) {
            QTest::mouseClick(&label, Qt::LeftButton);
        } else {
            QTest::mouseDClick(&label, Qt::LeftButton);
        }
        QTest::qWait(100);
        QVERIFY2(none->isEmpty(), name);
    }
}

QTEST_MAIN(Form1Test)
#include "test_form1.moc"
