// Thousands of random mouse and keyboard events on the real window, its state checked after every
// burst: whatever the user does, the window must only ever show a state the program can be in.
//
// LUMERA_MONKEY_EVENTS sets how many events run (10000 unless set); LUMERA_MONKEY_START replays
// a run: every run prints its random start value. Timer ticks fall between the events as the
// clock has it, so a replay sends the same events but may meet the revolutions elsewhere.
#include "app/form1.h"
#include "host/label.h"
#include "host/line.h"
#include "host/option_button.h"
#include "host/picture_box.h"
#include "host/timer.h"
#include "series/number_text.h"
#include "series/series_selection.h"
#include "series/series_table.h"
#include "ui/form1_description.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QMessageBox>
#include <QPointer>
#include <QRandomGenerator>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <random>
#include <thread>

namespace {

constexpr QRgb electronBlue = qRgb(0, 0, 255);
// Every wait of a revolution divided by this: thousands of revolutions fit in the run.
constexpr std::int32_t waitDivisor = 1000;
// The watchdog's verdict on a run whose events stop moving.
constexpr int hangSeconds = 60;

int countBlue(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            count += (row[x] & 0xFFFFFF) == (electronBlue & 0xFFFFFF) ? 1 : 0;
        }
    }
    return count;
}

host::OptionButton& option(const Form1& form, int level) {
    return form.control<host::OptionButton>(qPrintable(QStringLiteral("Option%1").arg(level)));
}

QList<int> selectedLevels(const Form1& form) {
    QList<int> levels;
    for (int n = 1; n <= series::levelCount; ++n) {
        if (option(form, n).isChecked()) {
            levels << n;
        }
    }
    return levels;
}

QString designCaption(const host::Label& label) {
    return QString::fromUtf8(
        ui::findControl(ui::form1Description(), qPrintable(label.objectName()))->caption);
}

host::Bgr designColour(const host::Line& line) {
    return ui::findControl(ui::form1Description(), qPrintable(line.objectName()))->fore;
}

// Every label of the table with the text it must show for that column (0 for the design).
std::vector<std::pair<const host::Label*, QString>> expectedCaptions(const Form1& form, int level) {
    const auto fields = series::SeriesFields::of(form);
    std::vector<std::pair<const host::Label*, QString>> expected;
    if (level == 0) {
        for (const host::Label* label : fields.wavelengths) {
            expected.emplace_back(label, designCaption(*label));
        }
        for (const host::Label* label : {fields.radius, fields.speed, fields.energy}) {
            expected.emplace_back(label, designCaption(*label));
        }
        for (const auto& group : {fields.levelEnergies, fields.levelNumbers}) {
            for (const host::Label* label : group) {
                expected.emplace_back(label, designCaption(*label));
            }
        }
        for (const host::Label* label : fields.transitions) {
            expected.emplace_back(label, designCaption(*label));
        }
        return expected;
    }
    const auto& column = series::seriesTable().at(static_cast<std::size_t>(level - 1));
    for (std::size_t i = 0; i < 4; ++i) {
        expected.emplace_back(fields.wavelengths[i], series::integerText(column.wavelengths[i]));
        expected.emplace_back(fields.transitions[i], QString::fromUtf8(column.transitions[i]));
    }
    expected.emplace_back(fields.radius, series::decimalText(column.orbitRadiusNm));
    expected.emplace_back(fields.speed, series::decimalText(column.speed));
    expected.emplace_back(fields.energy, series::decimalText(column.energy));
    for (std::size_t i = 0; i < 5; ++i) {
        expected.emplace_back(fields.levelEnergies[i],
                              series::decimalText(column.levelEnergies[i]));
        expected.emplace_back(fields.levelNumbers[i], series::integerText(column.levelNumbers[i]));
    }
    return expected;
}

// What the window must show: every broken rule, one line each; empty when the state is sound.
// `choiceMade` tells whether the selection ever moved since the window opened.
QStringList invariantFaults(Form1& form, bool choiceMade) {
    QStringList faults;
    const QList<int> selected = selectedLevels(form);
    if (selected.size() != 1) {
        QStringList names;
        for (int n : selected) {
            names << QStringLiteral("Option%1").arg(n);
        }
        faults << QStringLiteral("%1 options selected: [%2]")
                      .arg(selected.size())
                      .arg(names.join(QStringLiteral(", ")));
        return faults;
    }
    const int level = selected.front();
    // Before the first choice the fields keep their design captions and the state is level 1's.
    const int stateLevel = choiceMade ? level : 1;
    const auto& column = series::seriesTable().at(static_cast<std::size_t>(stateLevel - 1));
    const AnimationState& state = form.animation();
    if (state.pathRadius != column.radius || state.orbitRadius != column.radius ||
        state.delayCount != column.delayCount) {
        faults << QStringLiteral("Animation state %1, %2, %3 with Option%4 selected%5")
                      .arg(state.pathRadius)
                      .arg(state.orbitRadius)
                      .arg(static_cast<double>(state.delayCount))
                      .arg(level)
                      .arg(choiceMade ? QString() : QStringLiteral(" before any choice"));
    }
    for (const auto& [label, text] : expectedCaptions(form, choiceMade ? level : 0)) {
        if (label->caption() != text) {
            faults << QStringLiteral("%1 shows \"%2\", not \"%3\", with Option%4 selected")
                          .arg(label->objectName(), label->caption(), text)
                          .arg(level);
        }
    }
    const auto fields = series::SeriesFields::of(form);
    for (std::size_t i = 0; i < fields.marks.size(); ++i) {
        const host::Line& mark = *fields.marks[i];
        const host::Bgr expected =
            choiceMade
                ? series::seriesTable().at(static_cast<std::size_t>(level - 1)).lineColours[i]
                : designColour(mark);
        if (mark.borderColor() != expected) {
            faults << QStringLiteral("%1 is %2, not %3, with Option%4 selected")
                          .arg(mark.objectName())
                          .arg(mark.borderColor().value, 6, 16, QLatin1Char('0'))
                          .arg(expected.value, 6, 16, QLatin1Char('0'))
                          .arg(level);
        }
    }
    // Checked between events, so never inside a revolution: no electron may be left over.
    const auto& picture = form.control<host::PictureBox>("Picture3");
    if (const int blue = countBlue(picture.drawing()); blue > 0) {
        faults << QStringLiteral("%1 blue pixels in the drawing of Picture3").arg(blue);
    }
    if (!form.isMinimized() && form.isVisible()) {
        const QRect inner(picture.inner()->mapTo(&form, QPoint(0, 0)), picture.inner()->size());
        const QImage shown = form.screen()->grabWindow(form.winId()).toImage().copy(inner);
        if (const int blue = countBlue(shown); blue > 0) {
            faults << QStringLiteral("%1 blue pixels of Picture3 on the screen").arg(blue);
        }
    }
    return faults;
}

// The window opened and activated, as a user first sees it, with short waits.
void openWindow(Form1& form) {
    form.shortenWaitsForTesting(waitDivisor);
    form.showMaximizedFromDescription();
    if (!QTest::qWaitForWindowActive(&form) || !form.hasBeenActivated()) {
        qFatal("the window never became active");
    }
}

// The offscreen platform warns at every resize that it has no window manager to tell.
void dropResizeChatter() {
    static const QtMessageHandler next = qInstallMessageHandler(nullptr);
    qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& message) {
            if (!message.contains(QLatin1String("propagateSizeHints"))) {
                next(type, context, message);
            }
        });
}

std::optional<quint64> numberFromEnvironment(const char* name) {
    bool ok = false;
    const quint64 value = qEnvironmentVariable(name).toULongLong(&ok);
    return ok ? std::optional<quint64>(value) : std::nullopt;
}

// Drives one run. A repeating timer sends the events; a second one takes over while the
// notice's modal loop holds the first, so input reaches the notice as it would from a user.
class Monkey : public QObject {
public:
    Monkey(Form1& form, quint64 start, int events)
        : m_form(form), m_random(start), m_target(events) {
        for (const ui::ControlSpec& row : ui::form1Description().controls) {
            if (auto* widget = form.findChild<QWidget*>(QString::fromUtf8(row.name))) {
                m_targets.push_back(widget);
            }
        }
        connect(&m_outer, &QTimer::timeout, this, &Monkey::outerStep);
        connect(&m_inner, &QTimer::timeout, this, &Monkey::noticeStep);
        // Connected after the window's own: runs when the revolution has ended.
        connect(&form.control<host::Timer>("Timer1"), &host::Timer::tick, this, [this] {
            ++m_revolutions;
            const int blue = countBlue(m_form.control<host::PictureBox>("Picture3").drawing());
            if (blue > 0 && !m_form.dispatcher().stopped()) {
                fault(QStringLiteral("%1 blue pixels left when revolution %2 ended")
                          .arg(blue)
                          .arg(m_revolutions));
            }
        });
        form.dispatcher().setPresenter([this](const host::ErrorReport& report) {
            fault(QStringLiteral("run-time error: ") + report.text());
        });
    }

    // Runs every event, or until the first broken rule; returns what was broken.
    QStringList run() {
        std::atomic<bool> finished{false};
        std::thread watchdog([this, &finished] {
            int last = -1;
            auto since = std::chrono::steady_clock::now();
            while (!finished) {
                std::this_thread::sleep_for(std::chrono::milliseconds(200));
                const int now = m_progress.load();
                if (now != last) {
                    last = now;
                    since = std::chrono::steady_clock::now();
                } else if (std::chrono::steady_clock::now() - since >
                           std::chrono::seconds(hangSeconds)) {
                    std::fprintf(stderr, "monkey: no progress for %d s after event %d\n",
                                 hangSeconds, now);
                    std::abort();
                }
            }
        });
        m_outer.start(0);
        m_inner.start(1);
        m_loop.exec();
        m_outer.stop();
        m_inner.stop();
        finished = true;
        watchdog.join();
        if (m_faults.isEmpty()) {
            check();
        }
        return m_faults;
    }

    [[nodiscard]] int eventsDone() const { return m_done; }
    [[nodiscard]] int revolutions() const { return m_revolutions; }
    [[nodiscard]] int checks() const { return m_checks; }
    [[nodiscard]] int noticesOpened() const { return m_notices; }
    [[nodiscard]] bool choiceMade() const { return m_choiceMade; }
    [[nodiscard]] QStringList recent() const { return {m_recent.begin(), m_recent.end()}; }

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }

    void note(const QString& what) {
        m_recent.push_back(QStringLiteral("%1: %2").arg(m_done).arg(what));
        if (m_recent.size() > 25) {
            m_recent.pop_front();
        }
        ++m_done;
        ++m_progress;
    }

    void fault(const QString& what) {
        if (m_faults.isEmpty()) {
            m_faults << QStringLiteral("after event %1: %2").arg(m_done).arg(what);
        }
        m_loop.exit(1);
    }

    static QMessageBox* openBox() {
        return qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    }

    // The selection may only move by an event; once it has, the fields must follow it.
    void followSelection() {
        const QList<int> selected = selectedLevels(m_form);
        if (selected.size() == 1 && selected.front() != m_lastSelected) {
            m_lastSelected = selected.front();
            m_choiceMade = true;
        }
    }

    void check() {
        ++m_checks;
        const QStringList faults = invariantFaults(m_form, m_choiceMade);
        if (!faults.isEmpty()) {
            fault(faults.join(QStringLiteral("; ")));
        }
    }

    void outerStep() {
        if (!m_faults.isEmpty()) {
            return;
        }
        if (m_done >= m_target) {
            m_loop.exit(0);
            return;
        }
        act();
        followSelection();
        if (--m_untilCheck <= 0 && openBox() == nullptr && m_faults.isEmpty()) {
            m_untilCheck = 5 + pick(46);
            check();
        }
    }

    void noticeStep() {
        QMessageBox* box = openBox();
        if (box == nullptr || m_inNotice || !m_faults.isEmpty()) {
            return;
        }
        m_inNotice = true;
        if (m_done >= m_target) {
            // Every event is spent: the user closes the notice, so that the run can end.
            QTest::keyClick(box->windowHandle(), Qt::Key_Escape);
        } else {
            actOnNotice(*box);
        }
        followSelection();
        m_inNotice = false;
    }

    QWidget* anyTarget() {
        return m_targets.at(static_cast<std::size_t>(pick(static_cast<int>(m_targets.size()))));
    }

    QPoint pointIn(const QRect& area) {
        return {area.left() + pick(std::max(1, area.width())),
                area.top() + pick(std::max(1, area.height()))};
    }

    // The window's area as both the widget and the platform see it, while a resize settles.
    [[nodiscard]] QRect windowArea() const {
        return m_form.rect() & QRect(QPoint(0, 0), m_form.windowHandle()->size());
    }

    // A random point of the control as the window shows it, or of the window when none shows.
    QPoint pointOn(QWidget* control) {
        const QRect inWindow =
            QRect(control->mapTo(&m_form, QPoint(0, 0)), control->size()) & windowArea();
        return pointIn(inWindow.isEmpty() ? windowArea() : inWindow);
    }

    QPoint groundPoint() {
        for (int tries = 0; tries < 20; ++tries) {
            const QPoint p = pointIn(windowArea());
            if (m_form.childAt(p) == nullptr) {
                return p;
            }
        }
        return {1, 1};
    }

    void click(QWindow* window, QPoint at, bool twice, const QString& what) {
        const Qt::MouseButton button = pick(10) == 0 ? Qt::RightButton : Qt::LeftButton;
        note(QStringLiteral("%1 %2 on %3 at (%4, %5)")
                 .arg(button == Qt::LeftButton ? QStringLiteral("left") : QStringLiteral("right"),
                      twice ? QStringLiteral("double-click") : QStringLiteral("click"), what)
                 .arg(at.x())
                 .arg(at.y()));
        if (twice) {
            QTest::mouseDClick(window, button, {}, at);
        } else {
            QTest::mouseClick(window, button, {}, at);
        }
    }

    void key(QWindow* window) {
        static constexpr std::array<std::pair<Qt::Key, const char*>, 10> keys{{
            {Qt::Key_Tab, "Tab"},
            {Qt::Key_Backtab, "Shift+Tab"},
            {Qt::Key_Left, "Left"},
            {Qt::Key_Right, "Right"},
            {Qt::Key_Up, "Up"},
            {Qt::Key_Down, "Down"},
            {Qt::Key_Space, "Space"},
            {Qt::Key_Return, "Return"},
            {Qt::Key_Enter, "Enter"},
            {Qt::Key_Escape, "Escape"},
        }};
        const auto [code, name] = keys.at(static_cast<std::size_t>(pick(keys.size())));
        note(QStringLiteral("key %1").arg(QLatin1String(name)));
        if (window != nullptr) {
            QTest::keyClick(window, code);
        }
    }

    void reshape() {
        const int roll = pick(10);
        if (roll < 6) {
            const QSize size(300 + pick(1100), 250 + pick(800));
            note(QStringLiteral("resize to %1 x %2").arg(size.width()).arg(size.height()));
            m_form.showNormal();
            m_form.resize(size);
        } else if (roll < 8) {
            note(QStringLiteral("minimise"));
            m_form.showMinimized();
        } else {
            note(QStringLiteral("maximise"));
            m_form.showMaximized();
        }
        QCoreApplication::processEvents();
    }

    void wait() {
        const int ms = 1 + pick(8);
        note(QStringLiteral("wait %1 ms").arg(ms));
        QTest::qWait(ms);
    }

    void act() {
        QWindow* window = m_form.windowHandle();
        if (m_form.isMinimized()) {
            // Nothing of a minimised window can be clicked: the user can only bring it back.
            if (pick(3) == 0) {
                note(QStringLiteral("restore"));
                m_form.showNormal();
            } else {
                wait();
            }
            return;
        }
        const int roll = pick(100);
        if (roll < 32) {
            if (pick(static_cast<int>(m_targets.size()) + 1) == 0) {
                click(window, groundPoint(), false, QStringLiteral("the ground"));
            } else {
                QWidget* target = anyTarget();
                click(window, pointOn(target), false, target->objectName());
            }
        } else if (roll < 40) {
            // The heading often, so that the notice opens many times.
            QWidget* target = pick(3) == 0 ? &m_form.control<host::Label>("Label1") : anyTarget();
            click(window, pointOn(target), true, target->objectName());
        } else if (roll < 75) {
            key(QGuiApplication::focusWindow());
        } else if (roll < 83) {
            reshape();
        } else {
            wait();
        }
    }

    void actOnNotice(QMessageBox& box) {
        if (&box != m_lastNotice) {
            m_lastNotice = &box;
            ++m_notices;
        }
        QWindow* window = box.windowHandle();
        const int roll = pick(100);
        if (roll < 30) {
            key(window);
        } else if (roll < 45) {
            QAbstractButton* ok = box.buttons().value(0);
            if (ok != nullptr) {
                click(window, ok->mapTo(&box, ok->rect().center()), false,
                      QStringLiteral("the notice's OK"));
            }
        } else if (roll < 55) {
            click(window, pointIn(box.rect()), false, QStringLiteral("the notice"));
        } else if (roll < 60) {
            note(QStringLiteral("close the notice from its title bar"));
            box.close();
        } else if (roll < 75) {
            // The notice is modal: these must not reach the window behind it.
            QWidget* target = anyTarget();
            click(m_form.windowHandle(), pointOn(target), pick(4) == 0,
                  target->objectName() + QStringLiteral(" behind the notice"));
        } else if (roll < 82) {
            reshape();
        } else {
            wait();
        }
    }

    Form1& m_form;
    std::mt19937_64 m_random;
    int m_target;
    std::vector<QWidget*> m_targets;
    QTimer m_outer;
    QTimer m_inner;
    QEventLoop m_loop;
    int m_done = 0;
    int m_untilCheck = 0;
    int m_checks = 0;
    int m_revolutions = 0;
    int m_notices = 0;
    QPointer<QMessageBox> m_lastNotice;
    bool m_inNotice = false;
    bool m_choiceMade = false;
    int m_lastSelected = 1;
    std::deque<QString> m_recent;
    QStringList m_faults;
    std::atomic<int> m_progress{0};
};

} // namespace

class MonkeyTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { dropResizeChatter(); }
    void checksCatchABrokenWindow_data();
    void checksCatchABrokenWindow();
    void randomInputKeepsTheWindowSound();
};

void MonkeyTest::checksCatchABrokenWindow_data() {
    QTest::addColumn<bool>("choose");
    QTest::addColumn<int>("breakage");
    QTest::addColumn<QString>("reported");
    QTest::newRow("sound, before any choice") << false << 0 << QString();
    QTest::newRow("sound, after a choice") << true << 0 << QString();
    QTest::newRow("two options selected") << true << 1 << QStringLiteral("2 options selected");
    QTest::newRow("a wavelength of another column") << true << 2 << QStringLiteral("Label29");
    QTest::newRow("a mark of another colour") << true << 3 << QStringLiteral("Line5");
    QTest::newRow("delay of another column") << true << 4 << QStringLiteral("Animation state");
    QTest::newRow("orbit moved before any choice") << false << 5 << QStringLiteral("before any");
    QTest::newRow("design caption rewritten") << false << 6 << QStringLiteral("Label17");
    QTest::newRow("electron left on the picture") << true << 7 << QStringLiteral("blue pixels");
}

void MonkeyTest::checksCatchABrokenWindow() {
    QFETCH(bool, choose);
    QFETCH(int, breakage);
    QFETCH(QString, reported);
    Form1 form;
    openWindow(form);
    form.control<host::Timer>("Timer1").setEnabled(false);
    if (choose) {
        QTest::mouseClick(&option(form, 3), Qt::LeftButton, {}, QPoint(8, 8));
    }
    switch (breakage) {
    case 1: {
        auto& extra = option(form, 5);
        extra.group()->setExclusive(false);
        const QSignalBlocker quiet(extra);
        extra.setChecked(true);
        break;
    }
    case 2:
        form.control<host::Label>("Label29").setCaption(QStringLiteral("434"));
        break;
    case 3:
        form.control<host::Line>("Line5").setBorderColor(host::colours::blue);
        break;
    case 4:
        form.animation().delayCount = 500000;
        break;
    case 5:
        form.animation().orbitRadius = 6;
        break;
    case 6:
        form.control<host::Label>("Label17").setCaption(QStringLiteral("-13,55"));
        break;
    case 7:
        form.control<host::PictureBox>("Picture3").Circle(0, 8, 0.3F, host::colours::blue);
        break;
    default:
        break;
    }
    const QStringList faults = invariantFaults(form, choose);
    if (reported.isEmpty()) {
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    } else {
        QVERIFY2(faults.join(QLatin1Char('\n')).contains(reported),
                 qPrintable(faults.join(QLatin1Char('\n'))));
    }
}

void MonkeyTest::randomInputKeepsTheWindowSound() {
    const quint64 start = numberFromEnvironment("LUMERA_MONKEY_START")
                              .value_or(QRandomGenerator::system()->generate64());
    const int events =
        static_cast<int>(numberFromEnvironment("LUMERA_MONKEY_EVENTS").value_or(10000));
    std::fprintf(
        stderr, "monkey: random start value %llu, %d events (replay: LUMERA_MONKEY_START=%llu)\n",
        static_cast<unsigned long long>(start), events, static_cast<unsigned long long>(start));

    Form1 form;
    openWindow(form);
    Monkey monkey(form, start, events);
    const QStringList faults = monkey.run();
    std::fprintf(stderr,
                 "monkey: %d events, %d revolutions, %d checks, notice opened %d times, "
                 "choice made: %s\n",
                 monkey.eventsDone(), monkey.revolutions(), monkey.checks(), monkey.noticesOpened(),
                 monkey.choiceMade() ? "yes" : "no");
    QVERIFY2(faults.isEmpty(),
             qPrintable(QStringLiteral("random start value %1: %2\nlast events:\n  %3")
                            .arg(start)
                            .arg(faults.join(QLatin1Char('\n')),
                                 monkey.recent().join(QStringLiteral("\n  ")))));
    QCOMPARE(monkey.eventsDone(), events);
    QVERIFY(!form.dispatcher().stopped());
    if (events >= 2000) {
        // A long run that never met a revolution, the notice or a choice proved little.
        QVERIFY2(monkey.revolutions() >= 20, qPrintable(QString::number(monkey.revolutions())));
        QVERIFY(monkey.noticesOpened() >= 5);
        QVERIFY(monkey.choiceMade());
    }
}

QTEST_MAIN(MonkeyTest)
#include "test_monkey.moc"
