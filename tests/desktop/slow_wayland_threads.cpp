// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// Preloaded into the program, slows Qt's Wayland threads where the program's end can meet them,
// so that an ending unsafe from that meeting fails nearly every time.
#include <QDeadlineTimer>
#include <QMutex>
#include <QWaitCondition>
#include <array>
#include <chrono>
#include <cstring>
#include <dlfcn.h>
#include <pthread.h>
#include <thread>
#include <unistd.h>

struct wl_proxy;
// libwayland's own names.
extern "C" const char* wl_proxy_get_class(wl_proxy* proxy); // NOLINT(readability-identifier-naming)

namespace {

template <typename Function> Function following(const char* symbol) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, symbol));
}

void pauseOffTheMainThread() {
    if (gettid() != getpid()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

bool onAWaylandEventThread() {
    std::array<char, 16> name{};
    pthread_getname_np(pthread_self(), name.data(), name.size());
    return std::strcmp(name.data(), "WaylandEventThr") == 0;
}

} // namespace

// The frame thread destroys a frame's answer (a wl_callback), then clears Qt's pointer to it.
extern "C" void wl_proxy_destroy(wl_proxy* proxy) { // NOLINT(readability-identifier-naming)
    static const auto destroy = following<void (*)(wl_proxy*)>("wl_proxy_destroy");
    const bool answer = std::strcmp(wl_proxy_get_class(proxy), "wl_callback") == 0;
    destroy(proxy);
    if (answer) {
        pauseOffTheMainThread();
    }
}

// It has posted the answer to the main thread, and still holds the surface's frame lock as it
// wakes the surface's frame waiters.
void QWaitCondition::wakeAll() {
    static const auto wake = following<void (*)(QWaitCondition*)>("_ZN14QWaitCondition7wakeAllEv");
    pauseOffTheMainThread();
    wake(this);
}

// The event thread, woken once the event loop has announced its next read, runs a tenth of a
// second later, as on a busy computer: its lock is let go meanwhile, as if it had not woken yet.
bool QWaitCondition::wait(QMutex* lockedMutex, QDeadlineTimer deadline) {
    static const auto wait = following<bool (*)(QWaitCondition*, QMutex*, QDeadlineTimer)>(
        "_ZN14QWaitCondition4waitEP6QMutex14QDeadlineTimer");
    const bool woken = wait(this, lockedMutex, deadline);
    if (onAWaylandEventThread()) {
        lockedMutex->unlock();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        lockedMutex->lock();
    }
    return woken;
}
