// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "host/platform/display_loss.h"

#include <QCoreApplication>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#if LUMERA_WITH_XLIB
#include <X11/Xlib.h>
#endif

namespace host {

namespace {

// The toolkit's handler, for every message that is not a lost display. A message handler is the
// process's by nature: there is one, and this is where the one before it is kept.
QtMessageHandler toolkitHandler = nullptr;

void printLine(const QString& line) {
    std::fputs((line + u'\n').toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

QString xLine(const QString& program, const QByteArray& display) {
    return QStringLiteral("%1: потеряна связь с дисплеем X11 %2")
        .arg(program, QString::fromLocal8Bit(display));
}

#if LUMERA_WITH_XLIB
// Qt's X platform also talks to the server through Xlib; whichever of the two notices the loss
// first reports it. Qt's own Xlib handler would add Xlib's report, then run the exit handlers
// while Qt's threads still run.
int reportLostXlibDisplay(Display* display) {
    printLine(xLine(QCoreApplication::applicationName(), DisplayString(display)));
    std::_Exit(1);
}

// Qt sets its Xlib handler when it connects, inside the application's constructor: ours is set
// after that, among the routines the constructor runs last.
void replaceToolkitXlibHandler() {
    XSetIOErrorHandler(reportLostXlibDisplay);
}
#endif

void handleMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg) {
        if (const auto line = lostDisplayLine(message, QCoreApplication::applicationName(),
                                              qgetenv("DISPLAY"), qgetenv("WAYLAND_DISPLAY"))) {
            printLine(*line);
            return;
        }
    }
    if (toolkitHandler != nullptr) {
        toolkitHandler(type, context, message);
    }
}

} // namespace

std::optional<QString> lostDisplayLine(const QString& toolkitMessage, const QString& program,
                                       const QByteArray& xDisplay,
                                       const QByteArray& waylandDisplay) {
    // Qt's xcb and Wayland clients print these, then end the process with status 1.
    if (toolkitMessage.startsWith(u"The X11 connection broke")) {
        return xLine(program, xDisplay);
    }
    if (toolkitMessage.startsWith(u"The Wayland connection broke") ||
        toolkitMessage.startsWith(u"The Wayland connection experienced a fatal error")) {
        // libwayland's own default when the variable is unset.
        const QByteArray name =
            waylandDisplay.isEmpty() ? QByteArrayLiteral("wayland-0") : waylandDisplay;
        return QStringLiteral("%1: потеряна связь с дисплеем Wayland %2")
            .arg(program, QString::fromLocal8Bit(name));
    }
    return std::nullopt;
}

void nameLostDisplays() {
    toolkitHandler = qInstallMessageHandler(handleMessage);
    // libxcb writes with plain writev: a request sent after the X server died, before a reader
    // thread noticed, would end the program by SIGPIPE, saying nothing. Ignored, the write fails
    // and the lost display is noticed and named as any other way. Windows has no such signal.
#ifdef SIGPIPE
    std::signal(SIGPIPE, SIG_IGN);
#endif
#if LUMERA_WITH_XLIB
    qAddPreRoutine(replaceToolkitXlibHandler);
#endif
}

} // namespace host
