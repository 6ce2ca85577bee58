// Random input against the real window: clicks, double-clicks, keys, resizes, the notice and
// revolutions in any order, with the window checked between them. Every run prints its random
// start value; LUMERA_MONKEY_START replays it and LUMERA_MONKEY_EVENTS sets the length.
#include "animation/timer1_timer.h"
#include "app/form1.h"
#include "host/label.h"
#include "host/line.h"
#include "host/option_button.h"
#include "host/picture_box.h"
#include "host/timer.h"
#include "series/number_text.h"
#include "series/series_selection.h"
#include "series/series_table.h"

#include <QApplication>
#include <QMessageBox>
#include <QRandomGenerator>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <random>

namespace {

std::optional<quint64> numberFromEnvironment(const char* name) {
    bool ok = false;
    const quint64 value = qEnvironmentVariable(name).toULongLong(&ok);
    return ok ? std::optional<quint64>(value) : std::nullopt;
}

host::OptionButton& option(const Form1& form, int level) {
    return form.control<host::OptionButton>(qPrintable(QStringLiteral("Option%1").arg(level)));
}

// Every broken rule, one line each: one option selected, the state and the fields of its column
// once a choice was made, and no electron left between revolutions.
QStringList faultsOf(const Form1& form, bool choiceMade) {
    QList<int> selected;
    for (int n = 1; n <= series::levelCount; ++n) {
        if (option(form, n).isChecked()) {
            selected << n;
        }
    }
    if (selected.size() != 1) {
        return {QStringLiteral("%1 options selected").arg(selected.size())};
    }
    QStringList faults;
    const int level = choiceMade ? selected.front() : 1;
    const auto& column = series::seriesTable().at(static_cast<std::size_t>(level - 1));
    const AnimationState& state = form.animation();
    if (state.pathRadius != column.radius || state.orbitRadius != column.radius ||
        state.delayCount != column.delayCount) {
        faults << QStringLiteral("Animation state of another column than %1").arg(level);
    }
    const auto fields = series::SeriesFields::of(form);
    for (std::size_t i = 0; choiceMade && i < 4; ++i) {
        if (fields.wavelengths[i]->caption() != series::integerText(column.wavelengths[i]) ||
            fields.transitions[i]->caption() != QString::fromUtf8(column.transitions[i]) ||
            fields.marks[i]->borderColor() != column.lineColours[i]) {
            faults << QStringLiteral("row %1 of the list does not show level %2").arg(i).arg(level);
        }
    }
    if (choiceMade && fields.energy->caption() != series::decimalText(column.energy)) {
        faults << QStringLiteral("energy of another level than %1").arg(level);
    }
    const QImage drawn = form.control<host::PictureBox>("Picture3").drawing();
    for (int y = 0; y < drawn.height(); ++y) {
        for (int x = 0; x < drawn.width(); ++x) {
            if ((drawn.pixel(x, y) & 0xFFFFFF) == 0x0000FF) {
                return faults << QStringLiteral("electron left at (%1, %2)").arg(x).arg(y);
            }
        }
    }
    return faults;
}

} // namespace

class MonkeyTest : public QObject {
    Q_OBJECT

private slots:
    void randomInputKeepsTheWindowSound();
};

void MonkeyTest::randomInputKeepsTheWindowSound() {
    const quint64 start = numberFromEnvironment("LUMERA_MONKEY_START")
                              .value_or(QRandomGenerator::system()->generate64());
    const int events =
        static_cast<int>(numberFromEnvironment("LUMERA_MONKEY_EVENTS").value_or(3000));
    std::fprintf(stderr, "monkey: random start value %llu, %d events\n",
                 static_cast<unsigned long long>(start), events);
    std::mt19937_64 random(start);
    const auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };

    Form1 form;
    form.showMaximized();
    QVERIFY(QTest::qWaitFor([&] { return form.hasBeenActivated(); }, 5000));
    // The monkey raises the ticks itself, at random moments and with waits a thousand times
    // shorter, so that many revolutions fit in the run.
    form.control<host::Timer>("Timer1").setEnabled(false);
    auto& picture = form.control<host::PictureBox>("Picture3");
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

    QList<QWidget*> targets = form.findChildren<QWidget*>();
    std::vector<QString> recent;
    bool choiceMade = false;
    int revolutions = 0;
    for (int done = 0; done < events && errors.isEmpty(); ++done) {
        QWidget* target = targets.at(pick(static_cast<int>(targets.size())));
        const QPoint at(pick(std::max(1, target->width())), pick(std::max(1, target->height())));
        const int roll = pick(100);
        QString what;
        if (roll < 40) {
            what = QStringLiteral("click on ") + target->objectName();
            QTest::mouseClick(target, Qt::LeftButton, {}, at);
        } else if (roll < 46) {
            QWidget* heading = pick(2) == 0 ? &form.control<host::Label>("Label1") : target;
            what = QStringLiteral("double-click on ") + heading->objectName();
            QTest::mouseDClick(heading, Qt::LeftButton, {}, QPoint(5, 5));
        } else if (roll < 70) {
            static constexpr std::array keys{Qt::Key_Tab,   Qt::Key_Backtab, Qt::Key_Left,
                                             Qt::Key_Right, Qt::Key_Up,      Qt::Key_Down,
                                             Qt::Key_Space, Qt::Key_Return,  Qt::Key_Escape};
            const Qt::Key key = keys.at(static_cast<std::size_t>(pick(keys.size())));
            what = QStringLiteral("key %1").arg(key);
            QTest::keyClick(&form, key);
        } else if (roll < 76) {
            what = QStringLiteral("resize");
            if (pick(3) == 0) {
                form.showMinimized();
            } else {
                form.showNormal();
                form.resize(300 + pick(1100), 250 + pick(800));
            }
            form.showMaximized();
        } else {
            what = QStringLiteral("revolution");
            ++revolutions;
            form.dispatcher().run("Timer1_Timer", [&] {
                AnimationState quick = form.animation();
                quick.delayCount /= 1000;
                animation::Timer1_Timer(picture, quick);
            });
        }
        QCoreApplication::processEvents();
        recent.push_back(QString::number(done) + QStringLiteral(": ") + what);
        choiceMade = choiceMade || !option(form, 1).isChecked();
        const QStringList faults = faultsOf(form, choiceMade);
        QVERIFY2(faults.isEmpty(),
                 qPrintable(QStringLiteral("start value %1: %2\nlast events: %3")
                                .arg(start)
                                .arg(faults.join(QStringLiteral("; ")),
                                     QStringList(recent.end() - std::min<std::ptrdiff_t>(
                                                                    10, std::ssize(recent)),
                                                 recent.end())
                                         .join(QStringLiteral(", ")))));
    }
    std::fprintf(stderr, "monkey: %d revolutions, notice closed %d times, choice made: %s\n",
                 revolutions, notices, choiceMade ? "yes" : "no");
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join(QLatin1Char('\n'))));
    QVERIFY(revolutions > 0 && notices > 0 && choiceMade);
}

QTEST_MAIN(MonkeyTest)
#include "test_monkey.moc"
