// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// The real program, installed and started by its menu entry, on every desktop of the desktop
// tool's table, with X11, XWayland or Wayland alone. On each: the platform it lands on, the
// design filling the window and following it when the window manager changes its size, the
// electron on the screen, the window as a screen reader walks it, series 6 chosen through the
// reader's bus, and the end with status 0. How it ends on each signal and when its display goes;
// any session, stopped X server or lost bus.
#include "desktops_test.h"

#include <QCoreApplication>
#include <QTest>

int main(int argc, char* argv[]) {
    const QCoreApplication application(argc, argv);
    DesktopsTest test;
    return QTest::qExec(&test, argc, argv);
}
