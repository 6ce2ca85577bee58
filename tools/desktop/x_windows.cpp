// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "x_windows.h"

#include "servers.h"

using namespace Qt::StringLiterals;

namespace desktop {

QString XWindows::windowOf(const Servers& servers, qint64 pid) {
    return servers.run(u"xdotool"_s, {"search", "--onlyvisible", "--pid", QString::number(pid)})
        .out.section(u'\n', 0, 0);
}

// xwd's picture, turned into PNG by ImageMagick.
QImage XWindows::xwd(const Servers& servers, const QStringList& which) {
    QProcess shooter;
    shooter.setProcessEnvironment(servers.env());
    QProcess convert;
    shooter.setStandardOutputProcess(&convert);
    shooter.start(u"xwd"_s, QStringList{u"-silent"_s} + which);
    convert.start(u"convert"_s, {"xwd:-", "png:-"});
    shooter.waitForFinished(10000);
    convert.waitForFinished(10000);
    return QImage::fromData(convert.readAllStandardOutput(), "PNG")
        .convertToFormat(QImage::Format_RGB32);
}

QImage XWindows::screen(const Servers& servers, QSize /*screen*/, qint64 /*pid*/) {
    return xwd(servers, {u"-root"_s});
}

QImage XWindows::window(const Servers& servers, QSize /*screen*/, qint64 pid) {
    return pid == 0 ? QImage() : xwd(servers, {u"-id"_s, windowOf(servers, pid)});
}

bool XWindows::resize(const Servers& servers, qint64 pid, QSize size) {
    const QString width = QString::number(size.width());
    const QString height = QString::number(size.height());
    const QString window = windowOf(servers, pid);
    return servers.run(u"wmctrl"_s,
                       {"-i", "-r", window, "-b", "remove,maximized_vert,maximized_horz"})
                   .exitCode == 0 &&
           // A maximised window keeps its size: the request is made once it is not.
           waitUntil(
               [&] {
                   servers.run(u"wmctrl"_s,
                               {"-i", "-r", window, "-e", u"0,40,40,%1,%2"_s.arg(width, height)});
                   return servers.run(u"xdotool"_s, {"getwindowgeometry", window})
                       .out.contains(u"Geometry: %1x%2"_s.arg(width, height));
               },
               5000, 250);
}

} // namespace desktop
