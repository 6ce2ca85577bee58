// The series panel for screen-reader and keyboard users: what a reader says, and the arrow keys.
#include "app/form1.h"

#include <QAccessible>
#include <QApplication>
#include <QTest>

class AccessibilityTest : public QObject {
    Q_OBJECT

private slots:
    // The captionless orbit buttons are named; a label is read as shown, "λ =".
    void names() {
        const Form1 form;
        const auto said = [&form](const char* name, QAccessible::Text text = QAccessible::Name) {
            return QAccessible::queryAccessibleInterface(&form.control<QWidget>(name))->text(text);
        };
        QCOMPARE(said("Option2"), "Орбита 2");
        QCOMPARE(said("Option2", QAccessible::Description),
                 "Серия Бальмера: переходы на уровень 2");
        QCOMPARE(said("Label3"), "λ =");
    }

    // An arrow selects the next orbit round the row as a click would: that handler alone runs,
    // and the focus follows.
    void arrowKeysSelectLikeAClick() {
        Form1 form;
        // No activation: the timer stays off, so no revolution holds the event loop.
        QObject::disconnect(&form, &host::Window::Activate, nullptr, nullptr);
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.control<QWidget>("Option1").setFocus();
        form.gate().startRecording();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left); // round to the last
        const auto& calls = form.gate().calls();
        QCOMPARE(calls.size(), std::size_t{26}); // Option6's Value, then its 25 writes
        QCOMPARE(calls.front().control, "Option6");
        QCOMPARE(QApplication::focusWidget()->objectName(), "Option6");
        QCOMPARE(form.animation().pathRadius, 14);
    }
};

QTEST_MAIN(AccessibilityTest)
#include "test_accessibility.moc"
