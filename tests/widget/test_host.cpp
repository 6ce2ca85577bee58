// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// The promises of the host layer, each checked as the program relies on it.
#include "host/controls/frame.h"
#include "host/controls/label.h"
#include "host/controls/line.h"
#include "host/controls/option_button.h"
#include "host/controls/picture_box.h"
#include "host/controls/timer.h"
#include "host/dispatch/call_gate.h"
#include "host/dispatch/dispatcher.h"
#include "host/paint/screen_pacer.h"
#include "host/platform/termination.h"

#include <QAbstractEventDispatcher>
#include <QElapsedTimer>
#include <QExposeEvent>
#include <QScreen>
#include <QTest>
#include <QThread>
#include <chrono>
#include <csignal>
#include <span>
#ifdef Q_OS_WIN
#include <windows.h>
#endif

using namespace host;

namespace {

// The host's tests draw in colours of their own.
namespace colours {
constexpr Bgr black{0x000000};
constexpr Bgr white{0xFFFFFF};
constexpr Bgr red{0x0000FF};
constexpr Bgr blue{0xFF0000};
constexpr Bgr yellow{0x80FFFF};
} // namespace colours

// Pixels of a colour on the screen in a rectangle of a window, read without running the event
// loop.
int onScreen(QWidget& window, const QRect& rect, QRgb colour) {
    const QImage image =
        window.screen()
            ->grabWindow(window.winId(), rect.x(), rect.y(), rect.width(), rect.height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    const std::span pixels(reinterpret_cast<const QRgb*>(image.constBits()),
                           image.sizeInBytes() / sizeof(QRgb));
    return static_cast<int>(std::ranges::count(pixels, colour | 0xFF000000));
}

// The pixels of `widget` as the display server holds them, in device pixels.
QImage serverPixels(QWidget& widget) {
    QWidget& window = *widget.window();
    const QRect area(widget.mapTo(&window, QPoint()), widget.size());
    return window.screen()
        ->grabWindow(window.winId(), area.x(), area.y(), area.width(), area.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

// Pixels that differ between the two, outside `skip` (device pixels); -1 when the sizes differ.
int differing(const QImage& a, const QImage& b, const QRect& skip) {
    if (a.size() != b.size()) {
        return -1;
    }
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            count += !skip.contains(x, y) && a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
        }
    }
    return count;
}

class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return QObject::eventFilter(watched, event);
    }
};

// The number of rectangles in each region the control was asked to paint, and when.
class RegionRecorder : public QWidget {
public:
    using QWidget::QWidget;
    QList<int> rectCounts;
    std::chrono::steady_clock::time_point lastPainted;

protected:
    void paintEvent(QPaintEvent* event) override {
        rectCounts << event->region().rectCount();
        lastPainted = std::chrono::steady_clock::now();
    }
};

// A control filling a shown window whose changes are paced once a frame, nothing painted yet.
struct PacedRecorder {
    QWidget window;
    ScreenPacer* pacer = new ScreenPacer(ScreenPacer::Mode::OncePerFrame, &window);
    RegionRecorder* control = new RegionRecorder(&window);

    PacedRecorder() {
        window.resize(200, 200);
        control->setGeometry(window.rect());
        window.show();
        if (!QTest::qWaitForWindowExposed(&window)) {
            qFatal("window never exposed");
        }
        QCoreApplication::processEvents();
        control->rectCounts.clear();
    }
};

// Picture3 at the window's corner, 124 × 124: a drawing area of 120 × 120, its middle at (62, 62).
// It draws through the pacer a program window would hand it on this platform.
PictureBox* atomPicture(QWidget& window, CallGate& gate) {
    auto* pacer = new ScreenPacer(ScreenPacer::modeFor(QGuiApplication::platformName()), &window);
    auto* picture =
        new PictureBox(QStringLiteral("Picture3"), colours::white, gate, &window, pacer);
    picture->setGeometry(0, 0, 124, 124);
    return picture;
}

} // namespace

class HostTest : public QObject {
    Q_OBJECT

private slots:
    void changesAreOnScreenBeforeTheCallReturns() {
        CallGate gate;
        QWidget window;
        window.resize(200, 124);
        PictureBox* picture = atomPicture(window, gate);
        auto* label = new Label(QStringLiteral("Label27"), FontSpec{9.75, 700}, gate, &window);
        label->setColours(colours::black, colours::yellow);
        const QRect inLabel(130, 10, 25, 17);
        label->setGeometry(inLabel);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCoreApplication::processEvents();

        // No event loop runs after the calls: only a flush inside them can have put this there.
        picture->Scale(-15, 15, 15, -15);
        picture->Circle(0, 0, 10, colours::blue); // 40 pixels
        for (const QPoint p : {QPoint(62, 22), QPoint(101, 62), QPoint(62, 101), QPoint(22, 62)}) {
            QVERIFY(onScreen(window, QRect(p, QSize(1, 1)), qRgb(0, 0, 255)) > 0);
        }
        const int inkBefore = onScreen(window, inLabel, qRgb(0, 0, 0));
        label->setCaption(QStringLiteral("12363"));
        QVERIFY(onScreen(window, inLabel, qRgb(0, 0, 0)) > inkBefore);
        // The digits that do not fit are cut off at the label's edge.
        QCOMPARE(onScreen(window, QRect(155, 10, 40, 17), qRgb(0, 0, 0)), 0);
    }

    // Paced once a frame, a frame's many changes reach the toolkit as one rectangle: a region
    // gathering each of them (thousands a second in a revolution) reallocates at every one.
    void aFramesChangesPaintedAsOneRectangle() {
        const PacedRecorder paced;
        for (int i = 0; i < 40; ++i) {
            showChange(paced.pacer, paced.control, QRect(4 * i, 4 * i, 3, 3)); // none touching
        }
        QCoreApplication::processEvents();
        QCOMPARE(paced.control->rectCounts, QList<int>{1});
    }

    // A handler's wait longer than a frame still sends the frame that comes due in it, and
    // gives the processor back meanwhile.
    void aWaitSendsItsFrames() {
        const PacedRecorder paced;
        showChange(paced.pacer, paced.control, QRect(10, 10, 3, 3));
        const auto start = std::chrono::steady_clock::now();
        idleUntil(paced.pacer, start + std::chrono::milliseconds(300));
        // Painted at its frame, early in the wait, without the event loop.
        QCOMPARE(paced.control->rectCounts, QList<int>{1});
        QVERIFY(paced.control->lastPainted - start < std::chrono::milliseconds(100));
        QVERIFY(std::chrono::steady_clock::now() - start >= std::chrono::milliseconds(300));
    }

    // What a circle puts on the screen, the window shows again after an expose; on X a circle
    // clear of the controls on the picture goes there without a repaint, one over them with one.
    void drawingOutlastsAnExpose() {
        CallGate gate;
        QWidget window;
        window.resize(124, 124);
        PictureBox* picture = atomPicture(window, gate);
        // In the middle of the drawing area, drawn over it as the nucleus is.
        auto* nucleus = new Line(QStringLiteral("Line1"), {50, 60}, {70, 60}, 20, colours::red,
                                 gate, picture->inner());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCoreApplication::processEvents();
        const qreal ratio = window.devicePixelRatio();
        const QRect underNucleus(nucleus->geometry().topLeft() * ratio,
                                 nucleus->geometry().size() * ratio);

        PaintCounter counter;
        picture->inner()->installEventFilter(&counter);
        picture->Scale(-15, 15, 15, -15);
        picture->Circle(7, 7, 2, colours::blue); // top right, clear of the nucleus
        const int repaintsWhenClear = counter.paints;
        picture->Circle(0, 0, 2, colours::blue); // under the nucleus
        QVERIFY(counter.paints > repaintsWhenClear);
        QCOMPARE(onScreen(window, nucleus->geometry().translated(2, 2), qRgb(0, 0, 255)), 0);
        if (QGuiApplication::platformName() == u"xcb") {
            QCOMPARE(repaintsWhenClear, 0);
        }
        QCOMPARE(differing(serverPixels(*picture->inner()), picture->drawing(), underNucleus), 0);

        QExposeEvent expose{QRegion(window.rect())};
        QCoreApplication::sendEvent(window.windowHandle(), &expose);
        QCOMPARE(differing(serverPixels(*picture->inner()), picture->drawing(), underNucleus), 0);
    }

    void optionGroupClicksOnlyTheNewlySelected() {
        CallGate gate;
        QWidget window;
        auto* frame = new Frame(QStringLiteral("Frame1"), colours::yellow, &window);
        frame->resize(200, 40);
        QList<OptionButton*> buttons;
        QStringList clicks;
        for (int n = 1; n <= 3; ++n) {
            auto* button =
                new OptionButton(QStringLiteral("Option%1").arg(n), colours::yellow, gate, frame);
            button->setGeometry(n * 40, 10, 17, 17);
            buttons << button;
            // Raised once the group has made it the selected button.
            connect(button, &OptionButton::Click, button, [&clicks, button] {
                clicks << button->objectName() + (button->Value() ? "" : " (not selected)");
            });
        }
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        for (const int n : {0, 2, 2, 1}) { // the second click on Option3 changes nothing
            QTest::mouseClick(buttons[n], Qt::LeftButton);
        }
        QCOMPARE(clicks, QStringList({"Option1", "Option3", "Option2"}));
    }

    void ticksWaitForHandlersAndInputAndAreNotStoredUp() {
        CallGate gate;
        Dispatcher dispatcher;
        Timer timer(QStringLiteral("Timer1"), 10, gate, dispatcher, nullptr);
        QStringList order;
        QElapsedTimer sinceLongTick;
        QEventLoop loop; // unlike qWait, no pause between rounds that would hide a burst
        QTimer::singleShot(3000, &loop, &QEventLoop::quit);
        connect(&timer, &Timer::tick, &timer, [&] {
            dispatcher.run("Timer1_Timer", [&] {
                if (sinceLongTick.isValid()) {
                    // The periods missed give no burst: a whole period follows the long tick.
                    order << (sinceLongTick.elapsed() >= 5 ? "tick" : "tick at once");
                    loop.quit();
                    return;
                }
                // A click comes while the first tick holds the thread for twenty periods.
                QMetaObject::invokeMethod(
                    &timer, [&] { order << "click"; }, Qt::QueuedConnection);
                QThread::msleep(200);
                order << "tick";
                sinceLongTick.start();
            });
        });
        timer.setEnabled(true);
        // A handler that runs an event loop of its own for a while, as a modal box does.
        dispatcher.run("Label1_DblClick", [&] {
            QTest::qWait(100);
            order << "box closed";
        });
        loop.exec();
        QCOMPARE(order, QStringList({"box closed", "tick", "click", "tick"}));
    }
    // The session's end closes the window as its close button does: SIGTERM on Linux,
    // WM_ENDSESSION on Windows (the message as Qt hands it to the native filters).
    void sessionEndClosesTheWindow() {
        QWidget window;
        window.show();
        bool closed = false;
        class Watch : public QObject {
        public:
            explicit Watch(bool& closed) : m_closed(closed) {}
            bool eventFilter(QObject*, QEvent* event) override {
                m_closed = m_closed || event->type() == QEvent::Close;
                return false;
            }

        private:
            bool& m_closed;
        } watch(closed);
        window.installEventFilter(&watch);
        closeOnTermination(window);
#ifdef Q_OS_WIN
        MSG message{};
        message.hwnd = reinterpret_cast<HWND>(window.winId());
        message.message = WM_ENDSESSION;
        message.wParam = TRUE;
        qintptr result = 0;
        QAbstractEventDispatcher::instance()->filterNativeEvent("windows_generic_MSG", &message,
                                                                &result);
#else
        std::raise(SIGTERM);
#endif
        QTRY_VERIFY_WITH_TIMEOUT(closed, 5000);
        QVERIFY(!window.isVisible());
    }
};

QTEST_MAIN(HostTest)
#include "test_host.moc"
