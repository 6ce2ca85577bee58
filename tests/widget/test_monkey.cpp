// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// Random input against the real window: clicks, double-clicks, keys, resizes, the notice and
// revolutions in any order, with the window checked between them. Every run prints its random
// start value; LUMERA_MONKEY_START replays it and LUMERA_MONKEY_EVENTS sets the length.
#include "animation/timer1_timer.h"
#include "app/form1.h"
#include "host/controls/label.h"
#include "host/controls/option_button.h"
#include "host/controls/picture_box.h"
#include "host/controls/timer.h"
#include "series/series_table.h"
#include "ui/control_names.h"

#include <QApplication>
#include <QMessageBox>
#include <QRandomGenerator>
#include <QTest>
#include <QTimer>
#include <random>

using namespace Qt::StringLiterals;

namespace {

// Every broken rule: one option selected, the animation on its column once a choice was made,
// and no electron left between revolutions.
QString faultOf(const Form1& form, bool choiceMade) {
    const auto buttons = form.findChildren<host::OptionButton*>();
    const auto selected = std::ranges::find_if(buttons, &host::OptionButton::isChecked);
    if (std::ranges::count_if(buttons, &host::OptionButton::isChecked) != 1) {
        return u"not one option selected"_s;
    }
    const int level = choiceMade ? (*selected)->objectName().back().digitValue() : 1;
    const auto& column = series::seriesTable().at(std::size_t(level - 1));
    const ui::AnimationState& state = form.animation();
    if (state.pathRadius != column.radius || state.orbitRadius != column.radius ||
        state.delayCount != column.delayCount) {
        return u"the window does not show level %1 throughout"_s.arg(level);
    }
    const QImage drawn = form.control<host::PictureBox>(ui::names::picture3).drawing();
    for (int y = 0; y < drawn.height(); ++y) {
        for (int x = 0; x < drawn.width(); ++x) {
            if ((drawn.pixel(x, y) & 0xFFFFFF) == 0x0000FF) {
                return u"electron left at (%1, %2)"_s.arg(x).arg(y);
            }
        }
    }
    return {};
}

} // namespace

class MonkeyTest : public QObject {
    Q_OBJECT

private slots:
    void randomInputKeepsTheWindowSound();
};

void MonkeyTest::randomInputKeepsTheWindowSound() {
    bool given = false;
    quint64 start = qEnvironmentVariable("LUMERA_MONKEY_START").toULongLong(&given);
    start = given ? start : QRandomGenerator::system()->generate64();
    std::mt19937_64 random(start);
    const int events = qEnvironmentVariableIntValue("LUMERA_MONKEY_EVENTS");
    qInfo("monkey: random start value %llu, %d events", start, events);
    const auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };

    Form1 form;
    form.showMaximized();
    QVERIFY(QTest::qWaitFor([&] { return form.hasBeenActivated(); }, 5000));
    // The monkey raises the ticks itself, at random moments and with waits a thousand times
    // shorter, so that many revolutions fit in the run.
    form.control<host::Timer>(ui::names::timer1).setEnabled(false);
    QStringList errors;
    form.dispatcher().setPresenter([&](const host::ErrorReport& r) { errors << r.text(); });
    // The notice is modal: a user closes it, by key or by its button, while its loop runs.
    int notices = 0;
    QTimer closer;
    connect(&closer, &QTimer::timeout, &form, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            ++notices;
            QTest::keyClick(box->windowHandle(), pick(2) == 0 ? Qt::Key_Escape : Qt::Key_Return);
        }
    });
    closer.start(1);

    const QList<QWidget*> targets = form.findChildren<QWidget*>();
    QStringList recent;
    bool choiceMade = false;
    int revolutions = 0;
    for (int done = 0; done < events && errors.isEmpty(); ++done) {
        QWidget* target = targets.at(pick(int(targets.size())));
        const QPoint at(pick(std::max(1, target->width())), pick(std::max(1, target->height())));
        const int roll = pick(100);
        recent << u"%1: %2 on %3"_s.arg(done).arg(roll).arg(target->objectName());
        if (roll < 40) {
            QTest::mouseClick(target, Qt::LeftButton, {}, at);
        } else if (roll < 46) {
            QTest::mouseDClick(pick(2) == 0 ? &form.control<host::Label>(ui::names::label1)
                                            : target,
                               Qt::LeftButton, {}, QPoint(5, 5));
        } else if (roll < 70) {
            static constexpr std::array keys{Qt::Key_Tab,   Qt::Key_Backtab, Qt::Key_Left,
                                             Qt::Key_Right, Qt::Key_Up,      Qt::Key_Down,
                                             Qt::Key_Space, Qt::Key_Return,  Qt::Key_Escape};
            QTest::keyClick(&form, keys.at(std::size_t(pick(keys.size()))));
        } else if (roll < 76) {
            form.showNormal();
            form.resize(300 + pick(1100), 250 + pick(800));
            form.showMaximized();
        } else {
            ++revolutions;
            form.dispatcher().run("Timer1_Timer", [&] {
                ui::AnimationState quick = form.animation();
                quick.delayCount /= 1000;
                animation::Timer1_Timer(form.control<host::PictureBox>(ui::names::picture3), quick,
                                        form.pace());
            });
        }
        QCoreApplication::processEvents();
        choiceMade =
            choiceMade || !form.control<host::OptionButton>(ui::names::option1).isChecked();
        const QString fault = faultOf(form, choiceMade);
        // Rolls: below 40 a click, 46 a double-click, 70 a key, 76 a resize, else a revolution.
        QVERIFY2(fault.isEmpty(), qPrintable(fault + u"\nlast events: "_s + recent.join(", ")));
        recent = recent.mid(recent.size() > 9 ? 1 : 0);
    }
    qInfo("monkey: %d revolutions, notice closed %d times", revolutions, notices);
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join(u'\n')));
    QVERIFY(revolutions > 0 && notices > 0 && choiceMade);
}

QTEST_MAIN(MonkeyTest)
#include "test_monkey.moc"
