// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "kwin.h"

#include "servers.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QFile>
#include <QStandardPaths>
#include <poll.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace desktop {

Kwin::Kwin() : Family(u"kwin"_s) {}

QString Kwin::start(Servers& servers, const DesktopType& type, QSize screen) const {
    if (QString failed = servers.startSessionBus(); !failed.isEmpty()) {
        return failed;
    }
    // The packaged binary carries file capabilities that a container may refuse to grant, and so
    // refuse to run it; a copy carries none, and KWin runs without them.
    const QString kwin = servers.scratch().filePath(u"kwin_wayland"_s);
    QFile::copy(QStandardPaths::findExecutable(u"kwin_wayland"_s), kwin);
    const bool xwayland = type.session == Session::XWayland;
    const QStringList args =
        words(u"--virtual --width %1 --height %2 --socket wayland-0 --no-lockscreen %3 %4"_s
                  .arg(screen.width())
                  .arg(screen.height())
                  .arg(xwayland ? u"--xwayland"_s : u""_s, servers.readyScript()));
    const QString readyFile = servers.scratch().filePath(u"ready"_s);
    QProcessEnvironment extra;
    extra.insert(u"READY_FILE"_s, readyFile);
    // Lets screenshots be taken through KWin's own D-Bus interface.
    extra.insert(u"KWIN_SCREENSHOT_NO_PERMISSION_CHECKS"_s, u"1"_s);
    QProcess& compositor = servers.start(kwin, args, u"kwin_wayland"_s, extra);
    return servers.awaitReady(compositor, readyFile, xwayland);
}

// KWin hands its picture of the screen through a pipe, raw.
QImage Kwin::screenshot(const Servers& servers, QSize screen, qint64 /*pid*/) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) {
        return {};
    }
    QDBusConnection bus = QDBusConnection::connectToBus(
        servers.env().value(u"DBUS_SESSION_BUS_ADDRESS"_s), u"kwin-screenshots"_s);
    QDBusMessage call =
        QDBusMessage::createMethodCall(u"org.kde.KWin"_s, u"/org/kde/KWin/ScreenShot2"_s,
                                       u"org.kde.KWin.ScreenShot2"_s, u"CaptureArea"_s);
    const QVariantMap options{{u"native-resolution"_s, true}, {u"include-cursor"_s, false}};
    call << 0 << 0 << uint(screen.width()) << uint(screen.height()) << options
         << QVariant::fromValue(QDBusUnixFileDescriptor(pipeEnds[1]));
    const QDBusMessage reply = bus.call(call, QDBus::Block, 10000);
    ::close(pipeEnds[1]);
    QImage shot;
    if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
        const auto info = qdbus_cast<QVariantMap>(reply.arguments().constFirst());
        const auto height = info.value(u"height"_s).toInt();
        const auto stride = info.value(u"stride"_s).toInt();
        // KWin keeps its end open a while: exactly the picture's bytes are read.
        QByteArray data;
        char chunk[65536];
        pollfd wait{pipeEnds[0], POLLIN, 0};
        while (data.size() < qsizetype(stride) * height && ::poll(&wait, 1, 10000) > 0) {
            const ssize_t got = ::read(pipeEnds[0], chunk, sizeof chunk);
            if (got <= 0) {
                break;
            }
            data.append(chunk, got);
        }
        if (data.size() >= qsizetype(stride) * height) {
            shot = QImage(reinterpret_cast<const uchar*>(data.constData()),
                          info.value(u"width"_s).toInt(), height, stride,
                          QImage::Format(info.value(u"format"_s).toInt()))
                       .convertToFormat(QImage::Format_RGB32);
        }
    }
    ::close(pipeEnds[0]);
    QDBusConnection::disconnectFromBus(u"kwin-screenshots"_s);
    return shot;
}

} // namespace desktop
