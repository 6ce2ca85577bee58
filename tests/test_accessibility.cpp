// The window for keyboard and screen-reader users: what QAccessible reports for each control, and
// the arrow keys and Tab in the series panel.
#include "app/form1.h"
#include "host/label.h"
#include "host/option_button.h"
#include "host/picture_box.h"

#include <QAccessible>
#include <QApplication>
#include <QTest>
#include <memory>

namespace {

QString accessibleText(QObject* object, QAccessible::Text kind) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(object);
    return face ? face->text(kind) : QStringLiteral("(no accessible interface)");
}

} // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void optionButtonsNameOrbitAndSeries_data();
    void optionButtonsNameOrbitAndSeries();
    void labelsExposeWhatTheyShow_data();
    void labelsExposeWhatTheyShow();
    void windowAndPanelsAreNamed_data();
    void windowAndPanelsAreNamed();
    void everyFocusStopHasAName();

    void arrowKeysSelectLikeAClick_data();
    void arrowKeysSelectLikeAClick();
    void spaceOnTheSelectedButtonRunsNothing();
    void tabEntersTheGroupAtTheSelectedButton();

private:
    [[nodiscard]] host::OptionButton& option(int n) const {
        return m_form->control<host::OptionButton>(qPrintable(QStringLiteral("Option%1").arg(n)));
    }
    // The option handlers that ran since recording began, told apart by the Value read that
    // each of them starts with.
    [[nodiscard]] QStringList handlersRun() const;
    void showAndFocus(QWidget& widget);

    std::unique_ptr<Form1> m_form;
};

void AccessibilityTest::init() {
    m_form = std::make_unique<Form1>();
    // No activation: the timer stays off, so no revolution holds the event loop.
    QObject::disconnect(m_form.get(), &host::Window::Activate, nullptr, nullptr);
}

void AccessibilityTest::cleanup() {
    m_form.reset();
}

QStringList AccessibilityTest::handlersRun() const {
    QStringList run;
    for (const host::CallRecord& call : m_form->gate().calls()) {
        if (call.operation == host::Operation::Value) {
            run << call.control;
        }
    }
    return run;
}

void AccessibilityTest::showAndFocus(QWidget& widget) {
    m_form->show();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    widget.setFocus(Qt::OtherFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), &widget);
}

void AccessibilityTest::optionButtonsNameOrbitAndSeries_data() {
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("series");
    QTest::newRow("Option1") << 1 << QStringLiteral("Лаймана");
    QTest::newRow("Option2") << 2 << QStringLiteral("Бальмера");
    QTest::newRow("Option3") << 3 << QStringLiteral("Пашена");
    QTest::newRow("Option4") << 4 << QStringLiteral("Брэкета");
    QTest::newRow("Option5") << 5 << QStringLiteral("Пфунда");
    QTest::newRow("Option6") << 6 << QStringLiteral("Хэмфри");
}

void AccessibilityTest::optionButtonsNameOrbitAndSeries() {
    QFETCH(int, level);
    QFETCH(QString, series);
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&option(level));
    QVERIFY(face);
    QCOMPARE(face->role(), QAccessible::RadioButton);
    QCOMPARE(face->text(QAccessible::Name), QStringLiteral("Орбита %1").arg(level));
    const QString description = face->text(QAccessible::Description);
    QVERIFY2(description.contains(series), qPrintable(description));
    QVERIFY2(description.contains(QStringLiteral("уровень %1").arg(level)),
             qPrintable(description));
    QCOMPARE(face->state().checked, level == 1);
}

void AccessibilityTest::labelsExposeWhatTheyShow_data() {
    QTest::addColumn<QString>("designText");
    QTest::addColumn<bool>("changesWithTheSeries");
    const auto row = [](const char* name, const char* shown, bool changes) {
        QTest::newRow(name) << QString::fromUtf8(shown) << changes;
    };
    row("Label1", "ЛЮМЕРА", false);
    row("Label12", "5,28", true);
    row("Label16", "2,18", true);
    row("Label17", "- 13,55", true);
    row("Label27", "121", true);
    row("Label7", "95", true);
    row("Label34", "-13,55", true);
    row("Label41", "1  -  2 =", true);
    row("Label11", "РАДИУС ВРАЩЕНИЯ =", false);
    row("Label13", "нм", false);
    row("Label3", "λ =", false); // what is read is the lambda the user sees, not the stored "l"
}

void AccessibilityTest::labelsExposeWhatTheyShow() {
    QFETCH(QString, designText);
    QFETCH(bool, changesWithTheSeries);
    auto& label = m_form->control<host::Label>(QTest::currentDataTag());
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&label);
    QVERIFY(face);
    QCOMPARE(face->role(), QAccessible::StaticText);
    QCOMPARE(face->text(QAccessible::Name), designText);

    option(4).setChecked(true);
    QCOMPARE(face->text(QAccessible::Name), label.shownText());
    QCOMPARE(face->text(QAccessible::Name) != designText, changesWithTheSeries);
}

void AccessibilityTest::windowAndPanelsAreNamed_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("Form1") << QStringLiteral("ЛЮМЕРА");
    QTest::newRow("Picture3") << QStringLiteral("Атом водорода");
    QTest::newRow("Picture1") << QStringLiteral("Схема энергетических уровней");
    QTest::newRow("Picture2") << QStringLiteral("Параметры орбиты");
    QTest::newRow("Picture4") << QStringLiteral("Номер орбиты");
}

void AccessibilityTest::windowAndPanelsAreNamed() {
    QFETCH(QString, name);
    const QString control = QString::fromUtf8(QTest::currentDataTag());
    QObject* object = control == m_form->objectName() ? static_cast<QObject*>(m_form.get())
                                                      : m_form->findChild<QWidget*>(control);
    QVERIFY(object);
    QCOMPARE(accessibleText(object, QAccessible::Name), name);
    QVERIFY(!accessibleText(object, QAccessible::Description).isEmpty());
}

void AccessibilityTest::everyFocusStopHasAName() {
    int stops = 0;
    for (QWidget* widget : m_form->findChildren<QWidget*>()) {
        if (widget->focusPolicy() & Qt::TabFocus) {
            ++stops;
            QVERIFY2(!accessibleText(widget, QAccessible::Name).isEmpty(),
                     qPrintable(widget->objectName()));
        }
    }
    QCOMPARE(stops, 10); // four panels and six option buttons
}

void AccessibilityTest::arrowKeysSelectLikeAClick_data() {
    QTest::addColumn<int>("from");
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<int>("to");
    QTest::newRow("Right to the next") << 1 << Qt::Key_Right << 2;
    QTest::newRow("Down to the next") << 3 << Qt::Key_Down << 4;
    QTest::newRow("Left to the previous") << 5 << Qt::Key_Left << 4;
    QTest::newRow("Up to the previous") << 3 << Qt::Key_Up << 2;
    QTest::newRow("Right from the last goes round") << 6 << Qt::Key_Right << 1;
    QTest::newRow("Left from the first goes round") << 1 << Qt::Key_Left << 6;
}

void AccessibilityTest::arrowKeysSelectLikeAClick() {
    QFETCH(int, from);
    QFETCH(Qt::Key, key);
    QFETCH(int, to);
    option(from).setChecked(true);
    showAndFocus(option(from));
    m_form->gate().startRecording();

    QTest::keyClick(&option(from), key);

    // The handler of the newly selected button ran once, and no other.
    QCOMPARE(handlersRun(), QStringList{QStringLiteral("Option%1").arg(to)});
    QVERIFY(option(to).isChecked());
    QVERIFY(!option(from).isChecked());
    QCOMPARE(QApplication::focusWidget(), &option(to));
    QCOMPARE(m_form->animation().pathRadius, 2 * to + 2);
    QCOMPARE(m_form->animation().orbitRadius, 2 * to + 2);
}

void AccessibilityTest::spaceOnTheSelectedButtonRunsNothing() {
    option(3).setChecked(true);
    showAndFocus(option(3));
    m_form->gate().startRecording();
    QTest::keyClick(&option(3), Qt::Key_Space);
    QCOMPARE(handlersRun(), QStringList());
    QVERIFY(option(3).isChecked());
    QCOMPARE(QApplication::focusWidget(), &option(3));
}

void AccessibilityTest::tabEntersTheGroupAtTheSelectedButton() {
    auto& panel = m_form->control<QWidget>("Picture4");
    showAndFocus(option(1));
    QTest::keyClick(&option(1), Qt::Key_Right);
    QTest::keyClick(&option(2), Qt::Key_Right);
    QTest::keyClick(&option(3), Qt::Key_Right);
    QVERIFY(option(4).isChecked());

    // The group is one stop in the layout's order: after Picture4 and before Picture1 again.
    const QStringList forward{"Picture1", "Picture2", "Picture3",
                              "Picture4", "Option4",  "Picture1"};
    for (const QString& next : forward) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), next);
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), &option(4));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), &panel);
}

QTEST_MAIN(AccessibilityTest)
#include "test_accessibility.moc"
