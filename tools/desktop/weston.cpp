// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "weston.h"

#include "servers.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace desktop {

Weston::Weston() : Family(u"weston"_s) {}

QString Weston::start(Servers& servers, const DesktopType& type, QSize screen) const {
    const QString runtime = servers.env().value(u"XDG_RUNTIME_DIR"_s);
    const bool xwayland = type.session == Session::XWayland;
    // --debug lets weston-screenshooter take pictures. Idle for its default five minutes (no
    // input reaches a headless weston), it locks and stops painting its output, and a
    // screenshot waits for a frame that never comes.
    QProcess& weston = servers.start(
        u"weston"_s,
        words(u"--backend=headless-backend.so --use-pixman --debug --idle-time=0 --width=%1 "
              "--height=%2 --socket=wayland-0 %3"_s.arg(screen.width())
                  .arg(screen.height())
                  .arg(xwayland ? u"--xwayland"_s : u""_s)),
        u"weston"_s);
    servers.setDisplayServer(weston);
    servers.env().insert(u"WAYLAND_DISPLAY"_s, u"wayland-0"_s);
    if (!servers.await([&] { return QFileInfo::exists(runtime + u"/wayland-0"_s); })) {
        return servers.notUp(weston, u"never opened its socket"_s);
    }
    // A window maximised before the shell's panel is there is given the whole screen, and lies
    // under the panel and past the screen's bottom for good.
    if (!servers.await([&] {
            return servers.run(u"weston-debug"_s, {u"scene-graph"_s})
                .out.contains(u"panel for output"_s);
        })) {
        return servers.notUp(weston, u"never showed its panel"_s);
    }
    if (!xwayland) {
        return {};
    }
    // weston starts its XWayland on the first X client, and says beforehand where it will be.
    QString display;
    const QRegularExpression listening(u"xserver listening on display (:\\d+)"_s);
    if (!servers.await([&] {
            QFile log(servers.scratch().filePath(u"weston.log"_s));
            display = log.open(QIODevice::ReadOnly)
                          ? listening.match(QString::fromUtf8(log.readAll())).captured(1)
                          : QString();
            return !display.isEmpty();
        })) {
        return servers.notUp(weston, u"never opened an X display"_s);
    }
    servers.env().insert(u"DISPLAY"_s, display);
    return {};
}

QImage Weston::screenshot(const Servers& servers, QSize /*screen*/, qint64 /*pid*/) {
    const QDir shots(servers.scratch().filePath(u"shots"_s));
    shots.mkpath(u"."_s);
    QProcess shooter;
    shooter.setProcessEnvironment(servers.env());
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

} // namespace desktop
