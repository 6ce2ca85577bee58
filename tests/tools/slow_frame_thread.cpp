// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// Preloaded into the program, slows Qt's Wayland frame thread where a window going on the main
// thread can meet it, so that an ending unsafe from that meeting fails nearly every time.
#include <QWaitCondition>
#include <chrono>
#include <cstring>
#include <dlfcn.h>
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
