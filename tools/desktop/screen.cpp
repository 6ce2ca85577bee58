// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// Each desktop's own way to a picture of its screen, and to a window of another size.
#include "desktop.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QDir>
#include <QFile>
#include <poll.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace desktop {

QString Desktop::xWindowOf(qint64 pid) const {
    return run(u"xdotool"_s, {"search", "--onlyvisible", "--pid", QString::number(pid)})
        .out.section(u'\n', 0, 0);
}

QImage Desktop::screenshot(qint64 pid) const {
    QProcess shooter;
    shooter.setProcessEnvironment(m_env);
    switch (m_kind) {
    case Kind::Weston:
    case Kind::WestonXwayland: {
        // The compositor's own picture of its output, as the user sees it.
        const QDir shots(m_scratch.filePath(u"shots"_s));
        shots.mkpath(u"."_s);
        shooter.setWorkingDirectory(shots.path());
        shooter.start(u"weston-screenshooter"_s, {});
        // No frame painted in time: no picture, not half of one.
        const bool finished = shooter.waitForFinished(10000);
        if (!finished) {
            shooter.kill();
            shooter.waitForFinished();
        }
        QImage shot;
        for (const QString& file : shots.entryList({u"*.png"_s})) {
            if (finished) {
                shot = QImage(shots.filePath(file));
            }
            QFile::remove(shots.filePath(file));
        }
        return shot.convertToFormat(QImage::Format_RGB32);
    }
    case Kind::Kwin:
    case Kind::KwinXwayland:
        return kwinScreenshot();
    case Kind::Sway:
    case Kind::SwayXwayland:
        shooter.start(u"grim"_s, {"-t", "ppm", "-"});
        shooter.waitForFinished(10000);
        return QImage::fromData(shooter.readAllStandardOutput(), "PPM")
            .convertToFormat(QImage::Format_RGB32);
    case Kind::Mutter:
        return {};
    default:
        break;
    }
    if (m_kind == Kind::MutterXwayland && pid == 0) {
        return {};
    }
    // The X server's screen through xwd, turned into PNG by ImageMagick. XWayland under mutter
    // has no screen of its own to read, only its windows.
    QProcess convert;
    shooter.setStandardOutputProcess(&convert);
    shooter.start(u"xwd"_s, m_kind == Kind::MutterXwayland
                                ? QStringList{u"-silent"_s, u"-id"_s, xWindowOf(pid)}
                                : QStringList{u"-silent"_s, u"-root"_s});
    convert.start(u"convert"_s, {"xwd:-", "png:-"});
    shooter.waitForFinished(10000);
    convert.waitForFinished(10000);
    return QImage::fromData(convert.readAllStandardOutput(), "PNG")
        .convertToFormat(QImage::Format_RGB32);
}

// KWin hands its picture of the screen through a pipe, raw, once asked on its session bus.
QImage Desktop::kwinScreenshot() const {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) {
        return {};
    }
    QDBusConnection bus = QDBusConnection::connectToBus(m_env.value(u"DBUS_SESSION_BUS_ADDRESS"_s),
                                                        u"kwin-screenshots"_s);
    QDBusMessage call =
        QDBusMessage::createMethodCall(u"org.kde.KWin"_s, u"/org/kde/KWin/ScreenShot2"_s,
                                       u"org.kde.KWin.ScreenShot2"_s, u"CaptureArea"_s);
    const QVariantMap options{{u"native-resolution"_s, true}, {u"include-cursor"_s, false}};
    call << 0 << 0 << uint(m_screen.width()) << uint(m_screen.height()) << options
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

bool Desktop::resizeWindow(qint64 pid, QSize size) const {
    const QString width = QString::number(size.width());
    const QString height = QString::number(size.height());
    if (m_kind == Kind::Sway || m_kind == Kind::SwayXwayland) {
        // A tile takes the size of its place: the window floats first.
        return run(u"swaymsg"_s,
                   {u"[pid=%1] floating enable, resize set %2 %3"_s.arg(pid).arg(width, height)})
                   .exitCode == 0;
    }
    if (waylandAlone() || m_kind == Kind::WestonXwayland) {
        return false;
    }
    const QString window = xWindowOf(pid);
    return run(u"wmctrl"_s, {"-i", "-r", window, "-b", "remove,maximized_vert,maximized_horz"})
                   .exitCode == 0 &&
           // A maximised window keeps its size: the request is made once it is not.
           waitUntil(
               [&] {
                   run(u"wmctrl"_s,
                       {"-i", "-r", window, "-e", u"0,40,40,%1,%2"_s.arg(width, height)});
                   return run(u"xdotool"_s, {"getwindowgeometry", window})
                       .out.contains(u"Geometry: %1x%2"_s.arg(width, height));
               },
               5000, 250);
}

} // namespace desktop
