// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// The host's rules that need no window: the frame budget, the platform asked for, the
// circle outlines kept for drawing again, the record a picture is drawn anew from, the line for a
// lost display, the decorations left to a compositor that draws them, and the accessibility bus
// answered while a handler runs.
#include "host/accessibility/bus_answers.h"
#include "host/controls/circle_record.h"
#include "host/dispatch/call_gate.h"
#include "host/paint/circle_outlines.h"
#include "host/paint/frame_budget.h"
#include "host/platform/display_loss.h"
#include "host/platform/precise_sleep.h"
#include "host/platform/toolkit_setup.h"
#include "host/platform/wayland_decorations.h"

#include <QDeadlineTimer>
#include <QTest>
#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
// The accessibility bus and the display servers' sockets are Linux's.
#ifndef Q_OS_WIN
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusServer>
#include <QDBusVirtualObject>
#include <sys/socket.h>
#include <unistd.h>
#endif

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

struct Drawn {
    QSize imageSize;
    QPointF centre;
    double radius;
};

QImage blank(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

#ifndef Q_OS_WIN
// Stands in for the toolkit's accessible tree on the bus: counts the calls it answers.
class CountingTree : public QDBusVirtualObject {
public:
    int answered = 0;
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage&, const QDBusConnection&) override {
        return ++answered > 0;
    }
};
#endif

// A circle in the atom picture's user coordinates, and its colour.
struct UserCircle {
    float x;
    float y;
    float radius;
    QRgb colour;
};

const host::UserScale atomScale{-15, 15, 30, -30, true};

// Each circle drawn on `image` in turn, as the picture draws it.
void drawAll(QImage& image, const QList<UserCircle>& circles) {
    host::CircleOutlines outlines;
    for (const UserCircle& c : circles) {
        outlines.draw(image, atomScale.toPixels(c.x, c.y, image.size()),
                      c.radius * atomScale.pixelsPerUnitX(image.size()), c.colour);
    }
}

} // namespace

Q_DECLARE_METATYPE(QList<Drawn>)
Q_DECLARE_METATYPE(QList<UserCircle>)

class HostRulesTest : public QObject {
    Q_OBJECT

private slots:
    // At 60 Hz: a frame after the last flush ended, or nine times what it cost, but never more
    // than 400 ms.
    // The electron's steps are 1.5 ms apart: the wait wakes well within a step of its time, on
    // Windows as on Linux (whose ordinary sleep would wake on the 15.6 ms system tick), and never
    // early.
    void sleepWakesOnTime() {
        std::vector<std::chrono::steady_clock::duration> late;
        for (int step = 0; step < 100; ++step) {
            const auto until = std::chrono::steady_clock::now() + 1500us;
            host::sleepUntil(until);
            late.push_back(std::chrono::steady_clock::now() - until);
        }
        std::ranges::sort(late);
        QVERIFY(late.front() >= std::chrono::steady_clock::duration::zero());
        const auto median = std::chrono::duration<double, std::milli>(late[late.size() / 2]);
        qInfo("median lateness %.3f ms", median.count());
        QVERIFY2(median < 1ms, qPrintable(QString::number(median.count()) + " ms late"));
    }

    void frameBudget_data() {
        QTest::addColumn<int>("costMs"); // of the last flush; -1 for none yet
        QTest::addColumn<int>("sinceMs");
        QTest::addColumn<bool>("due");
        QTest::newRow("first flush") << -1 << 0 << true;
        QTest::newRow("cheap flush, within the frame") << 1 << 16 << false;
        QTest::newRow("cheap flush, a frame on") << 1 << 17 << true;
        QTest::newRow("5 ms flush, 44 ms on") << 5 << 44 << false;
        QTest::newRow("5 ms flush, 45 ms on") << 5 << 45 << true;
        QTest::newRow("1 s flush, 399 ms on") << 1000 << 399 << false;
        QTest::newRow("1 s flush, 400 ms on") << 1000 << 400 << true;
    }
    void frameBudget() {
        QFETCH(int, costMs);
        QFETCH(int, sinceMs);
        QFETCH(bool, due);
        host::FrameBudget budget(std::chrono::nanoseconds(16'666'667));
        const std::chrono::milliseconds end = 10s;
        if (costMs >= 0) {
            budget.flushed(end - std::chrono::milliseconds(costMs), end);
        }
        QCOMPARE(budget.due(end + std::chrono::milliseconds(sinceMs)), due);
    }

    // The program asks for X first (each flush is cheap there), unless the user chose.
    void platform_data() {
        QTest::addColumn<QByteArray>("chosen");
        QTest::addColumn<QByteArray>("display");
        QTest::addColumn<QByteArray>("asked"); // empty: Qt's own choice
        QTest::newRow("X display, no choice")
            << QByteArray() << QByteArray(":0") << QByteArray("xcb;wayland");
        QTest::newRow("the user's Wayland wins")
            << QByteArray("wayland") << QByteArray(":0") << QByteArray();
        QTest::newRow("no X display") << QByteArray() << QByteArray() << QByteArray();
    }
    void platform() {
        QFETCH(QByteArray, chosen);
        QFETCH(QByteArray, display);
        QFETCH(QByteArray, asked);
        QCOMPARE(host::defaultPlatform(chosen, display).value_or(QByteArray()), asked);
    }

    // Qt's title bar, and the OpenGL client it loads for it, only where the compositor draws none.
    void decorations_data() {
        QTest::addColumn<QByteArrayList>("globals");
        QTest::addColumn<QByteArray>("integration");
        QTest::addColumn<QByteArray>("decorationChoice");
        QTest::addColumn<bool>("leftToCompositor");
        const QByteArrayList kwin{"wl_compositor", "xdg_wm_base", "zxdg_decoration_manager_v1"};
        const QByteArrayList weston{"wl_compositor", "xdg_wm_base", "wl_shm"};
        QTest::newRow("KWin, sway") << kwin << QByteArray() << QByteArray() << true;
        QTest::newRow("GNOME, weston") << weston << QByteArray() << QByteArray() << false;
        QTest::newRow("the user's integration wins")
            << kwin << QByteArray("wayland-egl") << QByteArray() << false;
        QTest::newRow("the user's decorations win")
            << kwin << QByteArray() << QByteArray("0") << false;
    }
    void decorations() {
        QFETCH(QByteArrayList, globals);
        QFETCH(QByteArray, integration);
        QFETCH(QByteArray, decorationChoice);
        QFETCH(bool, leftToCompositor);
        QCOMPARE(host::leaveDecorationsToCompositor(globals, integration, decorationChoice),
                 leftToCompositor);
    }

    void lostDisplay_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QByteArray>("waylandDisplay");
        QTest::addColumn<QString>("line");
        // The X server and the compositor killed under the program: test_desktops.
        QTest::newRow("compositor failed, default socket")
            << u"The Wayland connection experienced a fatal error: Protocol error"_s << QByteArray()
            << u"lumera: потеряна связь с дисплеем Wayland wayland-0"_s;
        QTest::newRow("any other message")
            << u"QStandardPaths: XDG_RUNTIME_DIR not set"_s << QByteArray("w") << QString();
    }
    void lostDisplay() {
        QFETCH(QString, message);
        QFETCH(QByteArray, waylandDisplay);
        QFETCH(QString, line);
        QCOMPARE(
            host::lostDisplayLine(message, u"lumera"_s, ":3", waylandDisplay).value_or(QString()),
            line);
    }

#ifndef Q_OS_WIN
    // A write to a display server that died fails; it does not end the program by SIGPIPE
    // before the loss is named (seen when X went under the electron's direct drawing).
    void lostPeerWriteFails() {
        host::nameLostDisplays();
        std::array<int, 2> pair{};
        QCOMPARE(::socketpair(AF_UNIX, SOCK_STREAM, 0, pair.data()), 0);
        ::close(pair[1]);
        const char byte = 0;
        const auto written = ::write(pair[0], &byte, 1);
        const int error = errno;
        ::close(pair[0]);
        QCOMPARE(written, -1);
        QCOMPARE(error, EPIPE);
    }
#endif

    // A kept outline sets exactly the pixels a fresh one would, and says the same changed box.
    void keptOutlines_data() {
        QTest::addColumn<QList<Drawn>>("circles");
        const QSize square(120, 120);
        QTest::newRow("the image resized") << QList<Drawn>{
            {square, {60, 60}, 40}, {{150, 90}, {60, 60}, 40}, {{150, 90}, {60, 60}, 40}};
        // Within QPointF's fuzzy equality, yet a column further left.
        QTest::newRow("a centre a hair away")
            << QList<Drawn>{{square, {20.5, 60}, 20}, {square, {20.5 + 1e-11, 60}, 20}};
        QList<Drawn> beyondKept;
        for (std::size_t i = 0; i <= host::CircleOutlines::kept; ++i) {
            beyondKept.push_back({square, {60 + 0.01 * static_cast<double>(i), 60}, 3});
        }
        // The one drawn just before all were let go, then the first.
        beyondKept.push_back(beyondKept[host::CircleOutlines::kept - 1]);
        beyondKept.push_back(beyondKept.front());
        QTest::newRow("more than are kept") << beyondKept;
    }
    void keptOutlines() {
        QFETCH(QList<Drawn>, circles);
        host::CircleOutlines kept;
        QImage image;
        QImage expected;
        QRgb colour = 0;
        for (const Drawn& circle : circles) {
            if (image.size() != circle.imageSize) {
                image = blank(circle.imageSize);
                expected = blank(circle.imageSize);
            }
            // Blue and white in turn, so that every circle changes pixels.
            colour = colour == qRgb(0, 0, 255) ? qRgb(255, 255, 255) : qRgb(0, 0, 255);
            const QRect changed = kept.draw(image, circle.centre, circle.radius, colour);
            host::CircleOutlines fresh;
            QCOMPARE(changed, fresh.draw(expected, circle.centre, circle.radius, colour));
            QVERIFY(image == expected);
        }
    }

    // The record drawn anew, at the size it was drawn at and at another, gives what every circle
    // drawn in turn gives; it keeps one entry a different circle however often each is drawn.
    void circleRecord_data() {
        QTest::addColumn<QList<UserCircle>>("circles");
        QTest::addColumn<int>("kept");
        const QRgb blue = qRgb(0, 0, 255);
        const QRgb white = qRgb(255, 255, 255);
        const QRgb black = qRgb(0, 0, 0);
        QList<UserCircle> revolutions{{0, 0, 4, black}, {0, 0, 6, black}};
        for (int turn = 0; turn < 3; ++turn) {
            for (int step = 0; step < 360; ++step) {
                const auto angle = static_cast<float>(step * 6.28 / 360);
                revolutions << UserCircle{0, 0, 6, black}
                            << UserCircle{6 * std::sin(angle), 6 * std::cos(angle), 0.5, blue}
                            << UserCircle{6 * std::sin(angle), 6 * std::cos(angle), 0.5, white};
            }
        }
        QTest::newRow("three revolutions") << revolutions << 2 + 360;
        // The first circle drawn again after another over it: its pixels on top, not the other's.
        QTest::newRow("drawn again over another")
            << QList<UserCircle>{{0, 0, 5, blue}, {1, 0, 5, white}, {0, 0, 5, blue}} << 2;
    }
    void circleRecord() {
        QFETCH(QList<UserCircle>, circles);
        QFETCH(int, kept);
        host::CircleRecord record;
        for (const UserCircle& c : circles) {
            record.add({c.x, c.y, c.radius, atomScale, c.colour});
        }
        QCOMPARE(record.size(), std::size_t(kept));
        for (const QSize size : {QSize(120, 120), QSize(331, 331)}) {
            QImage expected = blank(size);
            drawAll(expected, circles);
            QList<UserCircle> replayed;
            record.replay([&](const host::RecordedCircle& c) {
                QCOMPARE(c.scale, atomScale);
                replayed << UserCircle{c.x, c.y, c.radius, c.colour};
            });
            QImage redrawn = blank(size);
            drawAll(redrawn, replayed);
            QVERIFY(redrawn == expected);
        }
    }

#ifndef Q_OS_WIN
    // A reader's call lands while a handler holds the thread and never returns to the event
    // loop, making control calls or waiting: the call is answered then; other queued work waits.
    void busAnsweredMidHandler_data() {
        QTest::addColumn<bool>("waiting");
        QTest::newRow("between control calls") << false;
        QTest::newRow("while the handler waits") << true;
    }
    void busAnsweredMidHandler() {
        QFETCH(bool, waiting);
        QDBusServer server;
        QDBusConnection reader(u"not yet"_s);
        connect(&server, &QDBusServer::newConnection, this,
                [&](const QDBusConnection& connection) { reader = connection; });
        const QString bus = u"program's bus"_s;
        QDBusConnection program = QDBusConnection::connectToPeer(server.address(), bus);
        CountingTree tree;
        QVERIFY(program.registerVirtualObject(u"/org/a11y/atspi/accessible"_s, &tree,
                                              QDBusConnection::SubPath));
        QTRY_VERIFY(reader.isConnected());
        reader.send(QDBusMessage::createMethodCall({}, u"/org/a11y/atspi/accessible/7"_s,
                                                   u"org.a11y.atspi.Accessible"_s, u"GetRole"_s));
        bool otherWorkDone = false;
        QMetaObject::invokeMethod(
            this, [&] { otherWorkDone = true; }, Qt::QueuedConnection);

        host::CallGate gate;
        host::BusAnswers answers(nullptr, bus);
        gate.setInterlude([&] { answers.answerWaiting(); });
        if (waiting) {
            answers.idleUntil(nullptr, std::chrono::steady_clock::now() + 300ms);
        } else {
            const QDeadlineTimer handlerEnds(3s);
            while (tree.answered == 0 && !handlerEnds.hasExpired()) {
                gate.check(host::Operation::Circle, u"Picture3"_s);
            }
        }
        QCOMPARE(tree.answered, 1);
        QVERIFY(!otherWorkDone);
        QDBusConnection::disconnectFromPeer(bus);
    }
#endif
};

QTEST_GUILESS_MAIN(HostRulesTest)
#include "test_host_rules.moc"
