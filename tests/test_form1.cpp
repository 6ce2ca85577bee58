// Form1's activation and ownership notice, on the real window.
#include "app/form1.h"
#include "host/label.h"
#include "host/option_button.h"
#include "host/picture_box.h"
#include "host/timer.h"

#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <optional>

namespace {

// Black pixels on the horizontal through the centre, right of the nucleus: one per orbit.
QList<int> orbitCrossings(const QImage& drawing) {
    QList<int> xs;
    const int y = drawing.height() / 2;
    bool inInk = false;
    for (int x = drawing.width() / 2 + 20; x < drawing.width(); ++x) {
        const bool ink = qGray(drawing.pixel(x, y)) < 100;
        if (ink && !inInk) {
            xs << x;
        }
        inInk = ink;
    }
    return xs;
}

struct NoticeSeen {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttons = 0;
};

// Closes the next modal box from inside its own loop and says what it showed.
std::optional<NoticeSeen>* watchForBox() {
    auto* seen = new std::optional<NoticeSeen>;
    QTimer::singleShot(50, [seen] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            *seen = NoticeSeen{box->windowTitle(), box->text(), box->icon(),
                               static_cast<int>(box->buttons().size())};
            box->accept();
        }
    });
    return seen;
}

} // namespace

class Form1Test : public QObject {
    Q_OBJECT

private slots:
    void stateIsZeroUntilTheFirstActivation();
    void firstActivationDrawsTheOrbitsAndStartsTheTimer();
    void activationIsRaisedOnce();
    void laterActivationResetsStateButLeavesTheTimer();
    void activationWithoutOption1LeavesTheTimerOff();
    void failingScaleDrawsNothing();
    void failingValueKeepsTheDiagramAndState();
    void doubleClickOnTheHeadingShowsTheNotice();
    void otherClicksShowNothing();
};

void Form1Test::stateIsZeroUntilTheFirstActivation() {
    Form1 form;
    QCOMPARE(form.animation().pathRadius, 0);
    QCOMPARE(form.animation().orbitRadius, 0);
    QCOMPARE(form.animation().delayCount, 0.0F);
    QVERIFY(!form.control<host::Timer>("Timer1").isEnabled());
    QVERIFY(form.control<host::OptionButton>("Option1").isChecked());
}

void Form1Test::firstActivationDrawsTheOrbitsAndStartsTheTimer() {
    Form1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QVERIFY(form.hasBeenActivated());
    QCOMPARE(form.animation().pathRadius, 4);
    QCOMPARE(form.animation().orbitRadius, 4);
    QCOMPARE(form.animation().delayCount, 300000.0F);
    QVERIFY(form.control<host::Timer>("Timer1").isEnabled());

    const QList<int> xs = orbitCrossings(form.control<host::PictureBox>("Picture3").drawing());
    QCOMPARE(xs.size(), 6);
    const double unit = 448.0 / 30;
    for (int i = 0; i < 6; ++i) {
        const double expected = 224 + (4 + 2 * i) * unit;
        QVERIFY2(std::abs(xs[i] - expected) <= 1.0,
                 qPrintable(QStringLiteral("orbit %1 at %2").arg(i + 1).arg(xs[i])));
    }
}

void Form1Test::activationIsRaisedOnce() {
    Form1 form;
    form.gate().startRecording();
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QEvent deactivate(QEvent::WindowDeactivate);
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&form, &deactivate);
    QApplication::sendEvent(&form, &activate);
    form.repaint(); // being on the screen again is no activation either
    QTest::qWait(100);
    const auto& calls = form.gate().calls();
    const auto scales = std::count_if(calls.begin(), calls.end(), [](const host::CallRecord& c) {
        return c.operation == host::Operation::Scale;
    });
    QCOMPARE(scales, 1);
}

void Form1Test::laterActivationResetsStateButLeavesTheTimer() {
    Form1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    auto& timer = form.control<host::Timer>("Timer1");
    timer.setEnabled(false);
    form.control<host::OptionButton>("Option3").setChecked(true);
    form.animation() = AnimationState{8, 8, 800000};

    form.Form_Activate();
    QCOMPARE(form.animation().pathRadius, 4);
    QCOMPARE(form.animation().orbitRadius, 4);
    QCOMPARE(form.animation().delayCount, 300000.0F);
    QVERIFY(!timer.isEnabled());

    // With Option1 selected and the timer running, it stays running.
    form.control<host::OptionButton>("Option1").setChecked(true);
    timer.setEnabled(true);
    form.Form_Activate();
    QVERIFY(timer.isEnabled());
}

void Form1Test::activationWithoutOption1LeavesTheTimerOff() {
    Form1 form;
    form.control<host::OptionButton>("Option2").setChecked(true);
    form.Form_Activate();
    QCOMPARE(form.animation().delayCount, 300000.0F);
    QVERIFY(!form.control<host::Timer>("Timer1").isEnabled());
}

void Form1Test::failingScaleDrawsNothing() {
    Form1 form;
    form.gate().failWhen({.operation = host::Operation::Scale});
    form.gate().startRecording();
    QVERIFY_THROWS_EXCEPTION(host::RuntimeError, form.Form_Activate());
    QCOMPARE(form.gate().calls().size(), std::size_t{1});
    QCOMPARE(form.animation().delayCount, 0.0F);
    QVERIFY(orbitCrossings(form.control<host::PictureBox>("Picture3").drawing()).isEmpty());
    QVERIFY(!form.control<host::Timer>("Timer1").isEnabled());
}

void Form1Test::failingValueKeepsTheDiagramAndState() {
    Form1 form;
    form.gate().failWhen({.operation = host::Operation::Value});
    QVERIFY_THROWS_EXCEPTION(host::RuntimeError, form.Form_Activate());
    QCOMPARE(orbitCrossings(form.control<host::PictureBox>("Picture3").drawing()).size(), 6);
    QCOMPARE(form.animation().pathRadius, 4);
    QVERIFY(!form.control<host::Timer>("Timer1").isEnabled());
}

void Form1Test::doubleClickOnTheHeadingShowsTheNotice() {
    Form1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    const AnimationState before = form.animation();
    auto& heading = form.control<host::Label>("Label1");

    std::unique_ptr<std::optional<NoticeSeen>> seen(watchForBox());
    QTest::mouseDClick(&heading, Qt::LeftButton);
    QVERIFY(seen->has_value());
    QCOMPARE((*seen)->title, QStringLiteral("Прудупреждение"));
    QCOMPARE((*seen)->icon, QMessageBox::Information);
    QCOMPARE((*seen)->buttons, 1);
    QCOMPARE((*seen)->text, Form1::ownershipNotice());
    // One Russian sentence naming the holder by surname and initials.
    QVERIFY((*seen)->text.contains(
        QRegularExpression(QStringLiteral("[А-Я][а-я]+ [А-Я]\\. [А-Я]\\.$"))));
    QCOMPARE(form.animation().delayCount, before.delayCount);
    QCOMPARE(heading.caption(), QStringLiteral("ЛЮМЕРА"));
    QVERIFY(form.control<host::Timer>("Timer1").isEnabled());
}

void Form1Test::otherClicksShowNothing() {
    Form1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    for (const char* name : {"Label1", "Label2", "Label12", "Label20", "Label27"}) {
        std::unique_ptr<std::optional<NoticeSeen>> seen(watchForBox());
        auto& label = form.control<host::Label>(name);
        if (QByteArray(name) == "Label1") {
            QTest::mouseClick(&label, Qt::LeftButton);
        } else {
            QTest::mouseDClick(&label, Qt::LeftButton);
        }
        QTest::qWait(100);
        QVERIFY2(!seen->has_value(), name);
    }
}

QTEST_MAIN(Form1Test)
#include "test_form1.moc"
