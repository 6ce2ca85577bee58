// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// The program's own start, as main() makes it, in a process whose X server the desktops test
// kills and then tells to go on (a line on standard input): with an Xlib call, as Qt's X platform
// makes now and then (argument "xlib"), or in the event loop, where Qt's xcb connection notices
// ("xcb").
#include "host/platform/display_loss.h"
#include "host/platform/toolkit_setup.h"

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <X11/Xlib.h>
#include <cstdio>
#include <string_view>

int main(int argc, char* argv[]) {
    const bool xlib = argc == 2 && std::string_view(argv[1]) == "xlib";
    host::prepareToolkit();
    host::nameLostDisplays();
    QApplication application(argc, argv);
    QWidget window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        return 2;
    }
    std::puts("shown");
    std::fflush(stdout);
    static_cast<void>(std::getchar());
    if (xlib) {
        XSync(qApp->nativeInterface<QNativeInterface::QX11Application>()->display(), False);
    }
    return QApplication::exec();
}
