// The window for screen-reader and keyboard users: the names a reader says, the arrow keys in the
// orbit buttons and the Tab order.
#include "app/form1.h"
#include "host/label.h"
#include "host/option_button.h"

#include <QAccessible>
#include <QApplication>
#include <QTest>

class AccessibilityTest : public QObject {
    Q_OBJECT

private slots:
    void names_data();
    void names();
    void keys_data();
    void keys();
};

// What a reader says for the window and the panels; an orbit button also names its series and
// says whether it is selected. A label is read as shown: "λ =", not the stored "l =".
void AccessibilityTest::names_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("series");
    for (const auto& [control, name] : {std::pair{"Form1", "ЛЮМЕРА"},
                                        {"Picture1", "Схема энергетических уровней"},
                                        {"Picture2", "Параметры орбиты"},
                                        {"Picture3", "Атом водорода"},
                                        {"Picture4", "Номер орбиты"},
                                        {"Label3", "λ ="}}) {
        QTest::newRow(control) << QString::fromUtf8(name) << QString();
    }
    const char* const series[] = {"Лаймана", "Бальмера", "Пашена", "Брэкета", "Пфунда", "Хэмфри"};
    for (int n = 1; n <= 6; ++n) {
        QTest::addRow("Option%d", n)
            << QStringLiteral("Орбита %1").arg(n) << QString::fromUtf8(series[n - 1]);
    }
}

void AccessibilityTest::names() {
    QFETCH(QString, name);
    QFETCH(QString, series);
    Form1 form;
    const QString tag = QString::fromUtf8(QTest::currentDataTag());
    QWidget* widget = tag == form.objectName() ? &form : &form.control<QWidget>(qPrintable(tag));
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    QVERIFY(face);
    QCOMPARE(face->text(QAccessible::Name), name);
    if (!series.isEmpty()) {
        QCOMPARE(face->role(), QAccessible::RadioButton);
        QCOMPARE(face->text(QAccessible::Description),
                 QStringLiteral("Серия %1: переходы на уровень %2").arg(series, tag.back()));
        QCOMPARE(face->state().checked, tag == u"Option1");
    }
}

// An arrow selects the next orbit round the row like a click: its handler runs once, the focus
// follows, a reader hears the new radius. Tab then walks the four panels and the buttons as one
// stop, the selected one.
void AccessibilityTest::keys_data() {
    QTest::addColumn<int>("from");
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<int>("to");
    QTest::newRow("Right to the next") << 1 << Qt::Key_Right << 2;
    QTest::newRow("Down to the next") << 3 << Qt::Key_Down << 4;
    QTest::newRow("Left to the previous") << 5 << Qt::Key_Left << 4;
    QTest::newRow("Up to the previous") << 3 << Qt::Key_Up << 2;
    QTest::newRow("Right from the last goes round") << 6 << Qt::Key_Right << 1;
    QTest::newRow("Left from the first goes round") << 1 << Qt::Key_Left << 6;
    QTest::newRow("Space on the selected one runs nothing") << 3 << Qt::Key_Space << 3;
}

void AccessibilityTest::keys() {
    QFETCH(int, from);
    QFETCH(Qt::Key, key);
    QFETCH(int, to);
    Form1 form;
    // No activation: the timer stays off, so no revolution holds the event loop.
    QObject::disconnect(&form, &host::Window::Activate, nullptr, nullptr);
    const auto option = [&form](int n) -> host::OptionButton& {
        return form.control<host::OptionButton>(qPrintable(QStringLiteral("Option%1").arg(n)));
    };
    option(from).setChecked(true);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    option(from).setFocus(Qt::OtherFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), &option(from));
    form.gate().startRecording();

    QTest::keyClick(&option(from), key);

    // Each handler starts by reading its button's value: the calls tell which ones ran.
    QStringList ran;
    for (const host::CallRecord& call : form.gate().calls()) {
        if (call.operation == host::Operation::Value) {
            ran << call.control;
        }
    }
    QCOMPARE(ran, from == to ? QStringList() : QStringList{QStringLiteral("Option%1").arg(to)});
    QVERIFY(option(to).isChecked());
    QCOMPARE(QApplication::focusWidget(), &option(to));
    QCOMPARE(form.animation().pathRadius, 2 * to + 2);
    auto& radius = form.control<host::Label>("Label12");
    QCOMPARE(QAccessible::queryAccessibleInterface(&radius)->text(QAccessible::Name),
             radius.shownText());
    const QString selected = option(to).objectName();
    const QStringList forward{"Picture1", "Picture2", "Picture3", "Picture4", selected};
    const QStringList backward{"Picture4", "Picture3", "Picture2", "Picture1", selected};
    for (const auto& [tab, order] :
         {std::pair{Qt::Key_Tab, forward}, {Qt::Key_Backtab, backward}}) {
        for (const QString& next : order) {
            QTest::keyClick(QApplication::focusWidget(), tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), next);
        }
    }
}

QTEST_MAIN(AccessibilityTest)
#include "test_accessibility.moc"
