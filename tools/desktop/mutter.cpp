// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "mutter.h"

#include "servers.h"

using namespace Qt::StringLiterals;

namespace desktop {

Mutter::Mutter() : Family(u"mutter"_s) {}

QString Mutter::start(Servers& servers, const DesktopType& type, QSize screen) const {
    if (QString failed = servers.startSessionBus(); !failed.isEmpty()) {
        return failed;
    }
    // It runs the ready script once it, and its XWayland (with the XAUTHORITY it wants), are
    // ready.
    const bool xwayland = type.session == Session::XWayland;
    const QStringList args =
        words(u"--headless --wayland --virtual-monitor %1x%2 --wayland-display=wayland-0 %3"_s
                  .arg(screen.width())
                  .arg(screen.height())
                  .arg(xwayland ? u""_s : u"--no-x11"_s));
    const QString readyFile = servers.scratch().filePath(u"ready"_s);
    QProcessEnvironment extra;
    extra.insert(u"READY_FILE"_s, readyFile);
    QProcess& mutter = servers.start(
        u"mutter"_s, args + QStringList{u"--"_s, servers.readyScript()}, u"mutter"_s, extra);
    return servers.awaitReady(mutter, readyFile, xwayland);
}

} // namespace desktop
