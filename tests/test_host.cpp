// The promises of the host layer, each checked as the program relies on it.
#include "host/call_gate.h"
#include "host/dispatcher.h"
#include "host/fonts.h"
#include "host/label.h"
#include "host/option_button.h"
#include "host/picture_box.h"
#include "host/runtime_error.h"
#include "host/screen_pacer.h"
#include "host/timer.h"
#include "host/toolkit_setup.h"

#include <QButtonGroup>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

using namespace host;

namespace {

// What the screen shows of a top-level widget right now, without running the event loop.
QImage onScreen(QWidget& window) {
    return window.screen()
        ->grabWindow(window.winId())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

int countColour(const QImage& image, QRgb colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            count += (row[x] & 0xFFFFFF) == (colour & 0xFFFFFF) ? 1 : 0;
        }
    }
    return count;
}

// A shown window holding one picture box of the atom picture's size.
struct PictureFixture {
    CallGate gate;
    QWidget window;
    PictureBox* picture;

    PictureFixture(const PictureFixture&) = delete;
    PictureFixture& operator=(const PictureFixture&) = delete;
    PictureFixture()
        : picture(new PictureBox(QStringLiteral("Picture3"), colours::white, gate, &window)) {
        window.resize(460, 460);
        picture->setGeometry(0, 0, 452, 452);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCoreApplication::processEvents();
    }
};

} // namespace

class HostTest : public QObject {
    Q_OBJECT

private slots:
    void circleIsOnScreenBeforeTheCallReturns();
    void scalePutsTheOriginAtTheCentre();
    void whiteCircleErasesBlueExactly();
    void drawingSurvivesARepaint();
    void captionShowsAtOnceAndKeepsTheSize();
    void symbolCharsetShowsGreek();
    void optionGroupKeepsOneAndClicksOnlyTheNewOne();
    void tickNeverRunsInsideAHandler();
    void ticksAreNotStoredUp();
    void queuedClickGoesBeforeTheNextTick();
    void failingCallEndsTheHandlerAndTheProgram();
    void platformChoice_data();
    void platformChoice();
    void flushesKeepToAFrameAndATenthOfTheTime();
};

void HostTest::circleIsOnScreenBeforeTheCallReturns() {
    PictureFixture f;
    f.picture->Scale(-15, 15, 15, -15);
    const QImage before = onScreen(f.window);
    QCOMPARE(countColour(before, qRgb(0, 0, 255)), 0);
    f.picture->Circle(0, 0, 4, colours::blue);
    // No event loop has run: only a synchronous flush can have put it there.
    QVERIFY(countColour(onScreen(f.window), qRgb(0, 0, 255)) > 100);
}

void HostTest::scalePutsTheOriginAtTheCentre() {
    PictureFixture f;
    f.picture->Scale(-15, 15, 15, -15);
    const QSize inner = f.picture->inner()->size();
    QCOMPARE(inner, QSize(448, 448)); // 452 less the two-pixel border on each side
    QCOMPARE(f.picture->toPixels(0, 0), QPointF(224, 224));
    const double unit = 448.0 / 30;
    QCOMPARE(f.picture->toPixels(0, 14), QPointF(224, unit));
    QCOMPARE(f.picture->toPixels(-15, -15), QPointF(0, 448));

    f.picture->Circle(0, 0, 14);
    const QImage drawn = f.picture->drawing();
    int top = -1;
    int bottom = -1;
    for (int y = 0; y < drawn.height(); ++y) {
        if (qGray(drawn.pixel(224, y)) < 128) {
            top = top < 0 ? y : top;
            bottom = y;
        }
    }
    // The orbit of radius 14 stays one unit (about 15 pixels) inside the top and bottom edges.
    QVERIFY2(std::abs(top - unit) <= 1.0, qPrintable(QString::number(top)));
    QVERIFY2(std::abs((447 - bottom) - unit) <= 1.5, qPrintable(QString::number(bottom)));
}

void HostTest::whiteCircleErasesBlueExactly() {
    PictureFixture f;
    f.picture->Scale(-15, 15, 15, -15);
    f.picture->Circle(0, 0, 4);
    for (int step = 1; step <= 360; step += 7) {
        const double a = 6.28 / 360 * step;
        const auto x = static_cast<float>(4 * std::sin(a));
        const auto y = static_cast<float>(4 * std::cos(a));
        f.picture->Circle(x, y, 0.3F, colours::blue);
        QVERIFY(countColour(f.picture->drawing(), qRgb(0, 0, 255)) > 0);
        f.picture->Circle(x, y, 0.3F, colours::white);
        QCOMPARE(countColour(f.picture->drawing(), qRgb(0, 0, 255)), 0);
    }
    // Outline only, no antialiasing: black and white and nothing between.
    const QImage drawn = f.picture->drawing();
    QCOMPARE(countColour(drawn, qRgb(0, 0, 0)) + countColour(drawn, qRgb(255, 255, 255)),
             drawn.width() * drawn.height());
}

void HostTest::drawingSurvivesARepaint() {
    PictureFixture f;
    f.picture->Scale(-15, 15, 15, -15);
    f.picture->Circle(0, 0, 10, colours::blue);
    const int blue = countColour(onScreen(f.window), qRgb(0, 0, 255));
    f.window.hide();
    f.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.window));
    f.picture->inner()->repaint();
    QCOMPARE(countColour(onScreen(f.window), qRgb(0, 0, 255)), blue);
}

void HostTest::captionShowsAtOnceAndKeepsTheSize() {
    CallGate gate;
    QWidget window;
    window.resize(200, 60);
    auto* label = new Label(QStringLiteral("Label27"), FontSpec{9.75, 700}, gate, &window);
    label->setColours(colours::black, colours::panelYellow);
    label->setGeometry(10, 10, 25, 17);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCoreApplication::processEvents();

    const QRect inLabel(10, 10, 25, 17);
    const int inkBefore = countColour(onScreen(window).copy(inLabel), qRgb(0, 0, 0));
    label->setCaption(QStringLiteral("12363"));
    QCOMPARE(label->geometry(), inLabel);
    const QImage shown = onScreen(window);
    QVERIFY(countColour(shown.copy(inLabel), qRgb(0, 0, 0)) > inkBefore);
    // Nothing is drawn past the label's edge: the digits that do not fit are cut off.
    QCOMPARE(countColour(shown.copy(QRect(35, 10, 40, 17)), qRgb(0, 0, 0)), 0);
}

void HostTest::symbolCharsetShowsGreek() {
    CallGate gate;
    Label label(QStringLiteral("Label3"), FontSpec{9.75, 700, Charset::Symbol}, gate, nullptr);
    label.setDesignCaption(QStringLiteral("l ="));
    QCOMPARE(label.caption(), QStringLiteral("l ="));
    QCOMPARE(label.shownText(), QStringLiteral("λ ="));
    QCOMPARE(symbolText(QStringLiteral("abgdpW")), QStringLiteral("αβγδπΩ"));
}

void HostTest::optionGroupKeepsOneAndClicksOnlyTheNewOne() {
    CallGate gate;
    QWidget window;
    auto* frame = new Frame(QStringLiteral("Frame1"), colours::panelYellow, &window);
    frame->setGeometry(0, 0, 200, 40);
    std::vector<OptionButton*> buttons;
    QStringList clicks;
    for (int n = 1; n <= 3; ++n) {
        auto* button =
            new OptionButton(QStringLiteral("Option%1").arg(n), colours::panelYellow, gate, frame);
        button->setGeometry(n * 40, 10, 17, 17);
        buttons.push_back(button);
    }
    buttons[0]->setChecked(true);
    for (auto* button : buttons) {
        connect(button, &OptionButton::Click, button, [&clicks, button, &buttons] {
            // The group has already made it the selected one, and only it.
            const auto selected = std::count_if(buttons.begin(), buttons.end(),
                                                [](auto* b) { return b->isChecked(); });
            QCOMPARE(selected, 1);
            QVERIFY(button->Value());
            clicks << button->objectName();
        });
    }
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QTest::mouseClick(buttons[2], Qt::LeftButton);
    QTest::mouseClick(buttons[2], Qt::LeftButton); // already selected: no second click
    QTest::mouseClick(buttons[1], Qt::LeftButton);
    QCOMPARE(clicks, QStringList({"Option3", "Option2"}));
    QVERIFY(!buttons[0]->Value());
    QVERIFY(buttons[1]->Value());
    QVERIFY(!buttons[2]->Value());
}

void HostTest::tickNeverRunsInsideAHandler() {
    CallGate gate;
    Dispatcher dispatcher;
    Timer timer(QStringLiteral("Timer1"), 10, gate, dispatcher, nullptr);
    int ticks = 0;
    bool insideHandler = false;
    bool overlapped = false;
    connect(&timer, &Timer::tick, &timer, [&] {
        dispatcher.run("Timer1_Timer", [&] {
            overlapped = overlapped || insideHandler;
            ++ticks;
        });
    });
    timer.setEnabled(true);
    // A handler that runs an event loop of its own for a while, as a modal box does.
    dispatcher.run("Label1_DblClick", [&] {
        insideHandler = true;
        QTest::qWait(100);
        insideHandler = false;
    });
    QVERIFY(QTest::qWaitFor([&] { return ticks >= 2; }, 2000));
    QVERIFY(!overlapped);
}

void HostTest::ticksAreNotStoredUp() {
    CallGate gate;
    Dispatcher dispatcher;
    Timer timer(QStringLiteral("Timer1"), 10, gate, dispatcher, nullptr);
    int ticks = 0;
    connect(&timer, &Timer::tick, &timer, [&] {
        dispatcher.run("Timer1_Timer", [&] {
            ++ticks;
            if (ticks == 1) {
                QThread::msleep(200); // twenty periods pass while the handler holds the thread
            }
        });
    });
    timer.setEnabled(true);
    QVERIFY(QTest::qWaitFor([&] { return ticks >= 1; }, 2000));
    // Twenty missed periods give no burst: the next tick comes a whole period later.
    QElapsedTimer clock;
    clock.start();
    QVERIFY(QTest::qWaitFor([&] { return ticks >= 2; }, 2000));
    QCOMPARE(ticks, 2);
    QVERIFY(clock.elapsed() >= 5);
}

void HostTest::queuedClickGoesBeforeTheNextTick() {
    CallGate gate;
    Dispatcher dispatcher;
    Timer timer(QStringLiteral("Timer1"), 10, gate, dispatcher, nullptr);
    QStringList order;
    int ticks = 0;
    connect(&timer, &Timer::tick, &timer, [&] {
        dispatcher.run("Timer1_Timer", [&] {
            order << QStringLiteral("tick");
            if (++ticks == 1) {
                // Input arrives while the tick holds the thread.
                QMetaObject::invokeMethod(
                    &timer, [&] { order << QStringLiteral("click"); }, Qt::QueuedConnection);
                QThread::msleep(50);
            }
        });
    });
    timer.setEnabled(true);
    QVERIFY(QTest::qWaitFor([&] { return ticks >= 2; }, 2000));
    QCOMPARE(order.mid(0, 3), QStringList({"tick", "click", "tick"}));
}

void HostTest::failingCallEndsTheHandlerAndTheProgram() {
    CallGate gate;
    Dispatcher dispatcher;
    QList<ErrorReport> reports;
    dispatcher.setPresenter([&](const ErrorReport& report) { reports << report; });
    QStringList done;
    gate.failWhen({.operation = Operation::Caption, .control = QStringLiteral("Label28")});

    QEventLoop loop;
    int status = -1;
    QTimer::singleShot(0, [&] {
        dispatcher.run("Option2_Click", [&] {
            gate.check(Operation::Caption, QStringLiteral("Label27"));
            done << QStringLiteral("Label27");
            gate.check(Operation::Caption, QStringLiteral("Label28"));
            done << QStringLiteral("Label28");
        });
        // Nothing runs after the failure, so the same fault cannot report twice.
        dispatcher.run("Timer1_Timer", [&] { done << QStringLiteral("tick"); });
    });
    status = loop.exec();
    QCOMPARE(done, QStringList({"Label27"}));
    QCOMPARE(reports.size(), 1);
    QCOMPARE(reports[0].handler, QStringLiteral("Option2_Click"));
    QCOMPARE(reports[0].number, 5);
    QVERIFY(reports[0].text().contains(QStringLiteral("Option2_Click")));
    QVERIFY(dispatcher.stopped());
    QCOMPARE(status, Dispatcher::failureExitStatus);
    QVERIFY(status != 0);
}

void HostTest::platformChoice_data() {
    QTest::addColumn<QByteArray>("chosen");
    QTest::addColumn<QByteArray>("display");
    QTest::addColumn<QByteArray>("platform");
    QTest::newRow("X server reachable")
        << QByteArray() << QByteArray(":0") << QByteArray("xcb;wayland");
    QTest::newRow("Wayland alone") << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("the user's choice wins")
        << QByteArray("wayland") << QByteArray(":0") << QByteArray();
}

void HostTest::platformChoice() {
    QFETCH(QByteArray, chosen);
    QFETCH(QByteArray, display);
    QFETCH(QByteArray, platform);
    QCOMPARE(host::defaultPlatform(chosen, display).value_or(QByteArray()), platform);
}

void HostTest::flushesKeepToAFrameAndATenthOfTheTime() {
    using std::chrono::milliseconds;
    host::FrameBudget budget(milliseconds(16));
    QVERIFY(budget.due(milliseconds(0)));
    budget.flushed(milliseconds(0), milliseconds(1));
    QVERIFY(!budget.due(milliseconds(16)));
    QVERIFY(budget.due(milliseconds(17)));
    // A compositor that keeps a flush waiting 40 ms gets the next one 360 ms later, not 16.
    budget.flushed(milliseconds(100), milliseconds(140));
    QVERIFY(!budget.due(milliseconds(140 + 359)));
    QVERIFY(budget.due(milliseconds(140 + 360)));
    // The window's first flush may wait a second; the electron is not hidden for nine.
    budget.flushed(milliseconds(1000), milliseconds(2000));
    QVERIFY(budget.due(milliseconds(2000 + 400)));
}

QTEST_MAIN(HostTest)
#include "test_host.moc"
