// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "host/platform/display_threads.h"

#include "host/platform/toolkit_setup.h"

#include <QGuiApplication>
#include <chrono>
#include <thread>

namespace host {

namespace {

// Far longer than a woken thread waits for a processor, even with every core busy; the window is
// already gone, so nobody waits for it.
constexpr std::chrono::milliseconds settleTime{200};

} // namespace

// Qt's Wayland client (6.4, and 6.8 alike) reads the compositor's socket on an event thread. The
// event loop announces each of that thread's reads to libwayland (wl_display_prepare_read), then
// wakes it. Told to stop before it has run, the thread ends without withdrawing the announcement,
// and the frame thread's next read waits for it for ever: the program hung in its end, once in
// 300 closes on KWin with every core busy. Once it has run it waits in its poll and stops
// cleanly, and after the event loop nothing announces another read.
void settleDisplayThreads() {
    if (isWaylandPlatform(QGuiApplication::platformName())) {
        std::this_thread::sleep_for(settleTime);
    }
}

} // namespace host
