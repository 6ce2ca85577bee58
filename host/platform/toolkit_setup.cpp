// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "host/platform/toolkit_setup.h"

#include "host/platform/wayland_decorations.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace host {

std::optional<QByteArray> defaultPlatform(const QByteArray& chosen, const QByteArray& display) {
    if (!chosen.isEmpty() || display.isEmpty()) {
        return std::nullopt;
    }
    // Each circle's flush costs little on an X server (XWayland included) and a whole compositor
    // frame on Wayland. Wayland stays the fallback for an X server that does not answer.
    return QByteArrayLiteral("xcb;wayland");
}

bool isWaylandPlatform(QStringView platformName) {
    return platformName.startsWith(u"wayland");
}

void prepareToolkit() {
#ifdef Q_OS_WIN
    // Qt has one window system there; Wine hands a Windows program Linux's DISPLAY too, which
    // must not choose X's.
    return;
#endif
    // The user's own choice, QT_QPA_PLATFORM or -platform (which Qt reads over the variable),
    // wins.
    if (const auto platform = defaultPlatform(qgetenv("QT_QPA_PLATFORM"), qgetenv("DISPLAY"))) {
        qputenv("QT_QPA_PLATFORM", *platform);
    }
    // Only where the window goes to a Wayland compositor: on X the question costs a connection.
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if ((isWaylandPlatform(QString::fromLatin1(platform)) ||
         (platform.isEmpty() && qgetenv("DISPLAY").isEmpty())) &&
        leaveDecorationsToCompositor(waylandGlobals(),
                                     qgetenv("QT_WAYLAND_CLIENT_BUFFER_INTEGRATION"),
                                     qgetenv("QT_WAYLAND_DISABLE_WINDOWDECORATION"))) {
        qputenv("QT_WAYLAND_DISABLE_WINDOWDECORATION", QByteArrayLiteral("1"));
    }
    // A handler may hold the thread far longer than Qt's Wayland client waits for a frame's
    // answer (100 ms) before it takes the window for hidden and drops every drawing until the
    // compositor's next frame: what the handler draws would vanish for good.
    if (!qEnvironmentVariableIsSet("QT_WAYLAND_FRAME_CALLBACK_TIMEOUT")) {
        qputenv("QT_WAYLAND_FRAME_CALLBACK_TIMEOUT", QByteArrayLiteral("600000"));
    }
    // A handler that animates flushes a few pixels at a time, over and over, while it holds the
    // thread. Shared-memory images make each small flush wait for the X server to finish the
    // previous one; plain requests do not.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) {
        qputenv("QT_XCB_NO_MITSHM", QByteArrayLiteral("1"));
    }
}

} // namespace host
