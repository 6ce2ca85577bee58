// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// The signals a session ends a process with, and the one way they are caught.
#pragma once

#include <csignal>

namespace host {

// SIGTERM (logout, a service manager), SIGINT (a terminal's Ctrl+C) and SIGHUP (its hang-up) all
// go to `handler`. Interrupted system calls go on, so only the handler's own work sees them.
inline void catchSessionEnd(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        ::sigaction(signal, &action, nullptr);
    }
}

} // namespace host
