// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// Program entry: hands the window to the toolkit and runs its event loop.
#include "app/form1.h"
#include "app/identity.h"
#include "host/platform/display_loss.h"
#include "host/platform/display_threads.h"
#include "host/platform/termination.h"
#include "host/platform/toolkit_setup.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    host::prepareToolkit();
    host::nameLostDisplays();
    QApplication app(argc, argv);
    // Lets the desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(app::desktopFileName));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(app::version));
    Form1 form;
    host::closeOnTermination(form);
    form.showMaximized();
    const int status = QApplication::exec();
    host::settleDisplayThreads();
    return status;
}
