// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// The host's rules that need no window: the zoom, the frame budget, the platform asked for, the
// circle outlines kept for drawing again, the line for a lost display and the accessibility bus
// answered while a handler runs.
#include "host/accessibility/bus_answers.h"
#include "host/dispatch/call_gate.h"
#include "host/platform/display_loss.h"
#include "host/platform/toolkit_setup.h"
#include "host/screen/circle_raster.h"
#include "host/screen/frame_budget.h"
#include "host/screen/zoom.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusServer>
#include <QDBusVirtualObject>
#include <QDeadlineTimer>
#include <QTest>

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

// Form1's extent with its margins, in twips: 1043.7 × 721 pixels at zoom 1.
const QSize design(15655, 10815);

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

// Stands in for the toolkit's accessible tree on the bus: counts the calls it answers.
class CountingTree : public QDBusVirtualObject {
public:
    int answered = 0;
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage&, const QDBusConnection&) override {
        return ++answered > 0;
    }
};

} // namespace

Q_DECLARE_METATYPE(QList<Drawn>)

class HostRulesTest : public QObject {
    Q_OBJECT

private slots:
    void zoom_data() {
        QTest::addColumn<QSize>("client");
        QTest::addColumn<double>("factor");
        QTest::addColumn<QPoint>("offset");
        // The window at the screen sizes of a classroom: test_zoom.
        QTest::newRow("1024x768 a little too narrow: as designed")
            << QSize(1024, 745) << 1.0 << QPoint();
        QTest::newRow("tall screen: the width sets it, centred down")
            << QSize(2087, 2000) << 1.9996806 << QPoint(0, 279);
    }
    void zoom() {
        QFETCH(QSize, client);
        QFETCH(double, factor);
        QFETCH(QPoint, offset);
        const host::Zoom chosen = host::chooseZoom(client, design);
        QVERIFY2(qAbs(chosen.factor - factor) < 1e-6, qPrintable(QString::number(chosen.factor)));
        QCOMPARE(chosen.offset, offset);
    }

    // At 60 Hz: a frame after the last flush ended, or nine times what it cost, but never more
    // than 400 ms.
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

    // A kept outline sets exactly the pixels a fresh one would, and says the same changed box.
    void keptOutlines_data() {
        QTest::addColumn<QList<Drawn>>("circles");
        const QSize square(120, 120);
        QTest::newRow("drawn again in place")
            << QList<Drawn>{{square, {60, 60}, 40}, {square, {60, 60}, 40}, {square, {60, 60}, 40}};
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

    // A reader's call lands while a handler holds the thread, making control calls and never
    // returning to the event loop: the call is answered then; other queued work waits.
    void busAnsweredMidHandler() {
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
        const QDeadlineTimer handlerEnds(3s);
        while (tree.answered == 0 && !handlerEnds.hasExpired()) {
            gate.check(host::Operation::Circle, u"Picture3"_s);
        }
        QCOMPARE(tree.answered, 1);
        QVERIFY(!otherWorkDone);
        QDBusConnection::disconnectFromPeer(bus);
    }
};

QTEST_GUILESS_MAIN(HostRulesTest)
#include "test_host_rules.moc"
