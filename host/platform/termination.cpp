// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "host/platform/termination.h"

#include "host/platform/session_end.h"

#include <QSocketNotifier>
#include <QWidget>
#include <array>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace host {

namespace {

// A signal handler can reach nothing but a static; it only wakes the event loop through it.
int signalWriter = -1;

void onTerminationSignal(int) {
    const char wake = 1;
    [[maybe_unused]] const auto written = ::write(signalWriter, &wake, 1);
}

} // namespace

void closeOnTermination(QWidget& window) {
    std::array<int, 2> pair{};
    if (signalWriter >= 0 ||
        ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair.data()) != 0) {
        return;
    }
    signalWriter = pair[0];
    auto* notifier = new QSocketNotifier(pair[1], QSocketNotifier::Read, &window);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window, notifier] {
        char drained = 0;
        [[maybe_unused]] const auto read =
            ::read(static_cast<int>(notifier->socket()), &drained, 1);
        window.close();
    });
    catchSessionEnd(onTerminationSignal);
}

} // namespace host
