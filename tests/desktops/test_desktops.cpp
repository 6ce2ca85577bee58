// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// The real program, installed and started by its menu entry, on the desktops people run: openbox,
// Xfce, KDE, GNOME, sway and weston, with X11, XWayland or Wayland alone. On each: the platform it
// lands on, the design filling the window and following it when the window manager changes its
// size, the electron on the screen, the window as a screen reader walks it, series 6 chosen
// through the reader's bus, and the end with status 0; for `make soak`, a school day on each. How
// it ends on each signal and when its display goes; any session, stopped X server or lost bus.
#include "desktops_test.h"

#include "atom_picture.h"
#include "desktop.h"
#include "host/platform/display_loss.h"
#include "host/platform/toolkit_setup.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QHash>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <X11/Xlib.h>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <random>
#include <unistd.h>

#ifndef LUMERA_BUILD_DIR
#error "LUMERA_BUILD_DIR must name the build tree whose program is installed and tested"
#endif

using desktop::Desktop;
using namespace Qt::StringLiterals;

namespace {

// The program's own start, as main() makes it, in a process whose X server the test kills and
// then tells to go on: with an Xlib call, as Qt's X platform makes now and then ("xlib"), or in
// the event loop, where Qt's xcb connection notices ("xcb").
int loseXDisplay(int argc, char* argv[]) {
    const bool xlib = std::string_view(argv[2]) == "xlib";
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

} // namespace

const desktop::DesktopType&
firstDesktop(const std::function<bool(const desktop::DesktopType&)>& property) {
    return *std::ranges::find_if(desktop::knownDesktops(), [&](const desktop::DesktopType& type) {
        return !property || property(type);
    });
}

void DesktopsTest::initTestCase() {
    // The program as a desktop starts it: installed, by the command of its menu entry.
    QProcess install;
    install.start(QStringLiteral(LUMERA_CMAKE),
                  {"--install", LUMERA_BUILD_DIR, "--prefix", m_prefix.path()});
    QVERIFY(install.waitForFinished(60000) && install.exitCode() == 0);
    const QDir menu(m_prefix.filePath(u"share/applications"_s));
    const QStringList entries = menu.entryList({u"*.desktop"_s});
    QCOMPARE(entries.size(), 1);
    const QString exec = QSettings(menu.filePath(entries.front()), QSettings::IniFormat)
                             .value(u"Desktop Entry/Exec"_s)
                             .toString();
    m_program = m_prefix.filePath(u"bin/"_s + exec.section(u' ', 0, 0));
    QVERIFY2(QFileInfo(m_program).isExecutable(), "the menu entry starts no installed program");
}

// The program in `screen`, once it has loaded its platform plugin.
std::unique_ptr<QProcess> DesktopsTest::start(const Desktop& screen, QProcessEnvironment extra,
                                              QProcess::ProcessChannelMode channels,
                                              const QStringList& unset) const {
    // In the sanitizer build, a leak of a GL driver unloaded before exit is traced whole, back to
    // the system library that its suppression names.
    if (const QString leaks = qEnvironmentVariable("LSAN_OPTIONS");
        !leaks.isEmpty() && !extra.contains(u"LSAN_OPTIONS"_s)) {
        extra.insert(u"LSAN_OPTIONS"_s, leaks + u":fast_unwind_on_malloc=0"_s);
    }
    // NAME=VALUE pairs the soak script adds (its heap profile's preloaded library).
    for (const QString& pair :
         qEnvironmentVariable("LUMERA_SOAK_ENV").split(u' ', Qt::SkipEmptyParts)) {
        extra.insert(pair.section(u'=', 0, 0), pair.section(u'=', 1));
    }
    desktop::Launch how;
    how.extra = extra;
    how.unset = unset;
    how.channels = channels;
    std::unique_ptr<QProcess> program = screen.launch(m_program, {}, how);
    const qint64 pid = program->processId();
    desktop::waitUntil([&] { return !loadedPlatform(pid).isEmpty(); }, 10000);
    return program;
}

int main(int argc, char* argv[]) {
    if (argc == 3 && std::string_view(argv[1]) == "--lose-x-display") {
        return loseXDisplay(argc, argv);
    }
    const QCoreApplication application(argc, argv);
    DesktopsTest test;
    return QTest::qExec(&test, argc, argv);
}
