// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// The window for screen-reader and keyboard users: what a reader meets, in what order, and the
// arrow keys in the series panel.
#include "app/form1.h"
#include "series/number_text.h"
#include "series/series_table.h"
#include "ui/control_names.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QTest>

class AccessibilityTest : public QObject {
    Q_OBJECT

private slots:
    // A reader meets the heading and the four panels in reading order, each panel one grouping
    // of phrases: a figure with its caption and unit, following the value as it changes. The
    // captionless orbit buttons are named, and the atom picture says where the electron runs.
    void readingOrder() {
        Form1 form;
        const auto face = [&form](const char* name) {
            return QAccessible::queryAccessibleInterface(&form.control<QWidget>(name));
        };
        QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&form);
        QStringList stops;
        for (int i = 0; i < window->childCount(); ++i) {
            stops << window->child(i)->text(QAccessible::Name);
        }
        QCOMPARE(stops.join(" | "), "ЛЮМЕРА | Схема энергетических уровней | Атом водорода | "
                                    "Параметры орбиты | Номер орбиты");
        const auto& table = series::seriesTable();
        QCOMPARE(face(ui::names::picture1)->child(6)->text(QAccessible::Name),
                 QStringLiteral("λ, 1 - 2 = %1 нм").arg(table.front().wavelengths.front()));
        QCOMPARE(face(ui::names::picture2)->child(0)->text(QAccessible::Name),
                 QStringLiteral("РАДИУС ВРАЩЕНИЯ = %1 на десять в минус одиннадцатой степени метра")
                     .arg(series::decimalText(table.front().rotationRadius)));
        QCOMPARE(face(ui::names::label3)->parent()->object(),
                 &form.control<QWidget>(ui::names::picture1));
        form.control<QAbstractButton>(ui::names::option6).click();
        QCOMPARE(face(ui::names::label3)->text(QAccessible::Name),
                 QStringLiteral("λ, 6 - 7 = %1 нм").arg(table.back().wavelengths.front()));
        QVERIFY(face(ui::names::picture3)->text(QAccessible::Description).endsWith("на орбите 6"));
    }

    // Every node of the walk knows its place: its parent lists it where it says. The walk holds
    // the heading, four panels and their phrases, and the panels the Tab key stops at.
    void everyNodeKnowsItsPlace() {
        Form1 form;
        QList<QAccessibleInterface*> todo{QAccessible::queryAccessibleInterface(&form)};
        QList<QObject*> met;
        while (!todo.isEmpty()) {
            QAccessibleInterface* node = todo.takeFirst();
            for (int i = 0; i < node->childCount(); ++i) {
                QAccessibleInterface* child = node->child(i);
                QCOMPARE(child->parent()->object(), node->object());
                QCOMPARE(node->indexOfChild(child), i);
                todo << child;
                met << child->object();
            }
        }
        QCOMPARE(met.size(), 5 + 10 + 3 + 6);
        for (const char* panel : {ui::names::picture1, ui::names::picture2, ui::names::picture3,
                                  ui::names::picture4, ui::names::option1}) {
            QVERIFY2(met.contains(&form.control<QWidget>(panel)), panel);
        }
    }

    // An arrow selects the neighbouring orbit round the row as a click would: that handler alone
    // runs, and the focus follows. Left and Up go back, Right and Down on.
    void arrowKeysSelectLikeAClick_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("to");
        QTest::newRow("Left from the first, round to the last") << 1 << int(Qt::Key_Left) << 6;
        QTest::newRow("Up, back") << 4 << int(Qt::Key_Up) << 3;
        QTest::newRow("Right, on") << 2 << int(Qt::Key_Right) << 3;
        QTest::newRow("Down from the last, round to the first") << 6 << int(Qt::Key_Down) << 1;
    }
    void arrowKeysSelectLikeAClick() {
        QFETCH(int, from);
        QFETCH(int, key);
        QFETCH(int, to);
        const auto option = [](int n) { return ui::names::options.at(n - 1); };
        Form1 form;
        // No activation: the timer stays off, so no revolution holds the event loop.
        QObject::disconnect(&form, &host::Window::Activate, nullptr, nullptr);
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.control<QAbstractButton>(option(from)).click();
        form.control<QWidget>(option(from)).setFocus();
        form.gate().startRecording();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
        const auto& calls = form.gate().calls();
        QCOMPARE(calls.size(), std::size_t{26}); // the button's Value, then its 25 writes
        QCOMPARE(calls.front().control, QString::fromUtf8(option(to)));
        QCOMPARE(QApplication::focusWidget()->objectName(), QString::fromUtf8(option(to)));
    }
};

QTEST_MAIN(AccessibilityTest)
#include "test_accessibility.moc"
