// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "sway.h"

#include "servers.h"

#include <QDir>
#include <QFile>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace desktop {

Sway::Sway() : Family(u"sway"_s) {}

bool Sway::sharesScratch() const {
    return ::geteuid() == 0;
}

QString Sway::start(Servers& servers, const DesktopType& type, QSize screen) const {
    // sway refuses to run as root: then it runs as nobody, in a runtime directory of its own,
    // and the programs started here (root's) reach its socket by its full path.
    const bool root = ::geteuid() == 0;
    const bool xwayland = type.session == Session::XWayland;
    const QTemporaryDir& scratch = servers.scratch();
    QString runtime = servers.env().value(u"XDG_RUNTIME_DIR"_s);
    if (root) {
        ::chmod(qPrintable(scratch.path()), 0755);
        runtime = scratch.filePath(u"sway-runtime"_s);
        QDir().mkpath(runtime);
        ::chmod(qPrintable(runtime), 0700);
        if (::chown(qPrintable(runtime), 65534, 65534) != 0) {
            return u"no runtime directory for sway's user"_s;
        }
    }
    const QString readyFile = runtime + u"/ready"_s;
    const QString config = scratch.filePath(u"sway.config"_s);
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly)) {
        return u"no sway configuration"_s;
    }
    file.write(u"output HEADLESS-1 resolution %1x%2 position 0 0\n"
               "xwayland %3\n"
               "exec %4\n"_s.arg(screen.width())
                   .arg(screen.height())
                   .arg(xwayland ? u"force"_s : u"disable"_s, servers.readyScript())
                   .toUtf8());
    file.close();
    const QStringList command =
        words(u"HOME=%1 PATH=/usr/bin:/bin XDG_RUNTIME_DIR=%1 READY_FILE=%2 WLR_BACKENDS=headless "
              "WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 sway -c %3"_s.arg(runtime, readyFile,
                                                                               config));
    const QStringList asNobody = words(u"--reuid=nobody --regid=nogroup --clear-groups env -i"_s);
    // setpriv and env each run the next program in their own place: the process is sway's.
    QProcess& sway = servers.start(root ? u"setpriv"_s : u"env"_s,
                                   root ? asNobody + command : command, u"sway"_s);
    if (QString failed = servers.awaitReady(sway, readyFile, xwayland); !failed.isEmpty()) {
        return failed;
    }
    QProcessEnvironment& env = servers.env();
    env.insert(u"WAYLAND_DISPLAY"_s, runtime + u'/' + env.value(u"WAYLAND_DISPLAY"_s));
    const QStringList sockets = QDir(runtime).entryList({u"sway-ipc.*.sock"_s}, QDir::System);
    if (sockets.isEmpty()) {
        return servers.notUp(sway, u"opened no socket for swaymsg"_s);
    }
    env.insert(u"SWAYSOCK"_s, runtime + u'/' + sockets.front());
    if (xwayland && root) {
        // Its XWayland admits only sway's own user until that user lets root in.
        const QStringList xhost =
            asNobody + words(u"DISPLAY=%1 xhost +si:localuser:root"_s.arg(env.value(u"DISPLAY"_s)));
        if (!servers.await([&] { return servers.run(u"setpriv"_s, xhost).exitCode == 0; })) {
            return servers.notUp(sway, u"let root into its XWayland"_s);
        }
    }
    return {};
}

QImage Sway::screenshot(const Servers& servers, QSize /*screen*/, qint64 /*pid*/) {
    QProcess shooter;
    shooter.setProcessEnvironment(servers.env());
    shooter.start(u"grim"_s, {"-t", "ppm", "-"});
    shooter.waitForFinished(10000);
    return QImage::fromData(shooter.readAllStandardOutput(), "PPM")
        .convertToFormat(QImage::Format_RGB32);
}

bool Sway::resize(const Servers& servers, qint64 pid, QSize size) {
    return servers
               .run(u"swaymsg"_s, {u"[pid=%1] floating enable, resize set %2 %3"_s.arg(pid)
                                       .arg(size.width())
                                       .arg(size.height())})
               .exitCode == 0;
}

} // namespace desktop
