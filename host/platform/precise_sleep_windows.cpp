// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "host/platform/precise_sleep.h"

#include <windows.h>

#include <algorithm>
#include <thread>

// Windows 10 1803's flag; MinGW-w64's headers do not have it yet.
#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

namespace host {

namespace {

// Windows's ordinary sleep wakes on the system tick, every 15.6 ms: ten of the electron's 1.5 ms
// steps at once, the ring jumping instead of going round. A high-resolution waitable timer
// (Windows 10 1803 and later) wakes within half a millisecond; one per thread, kept for the
// thread's life.
class WaitableTimer {
public:
    WaitableTimer()
        : m_handle(::CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION,
                                            TIMER_ALL_ACCESS)) {
        if (m_handle == nullptr) {
            // Older systems, and Wine, lack the high-resolution kind; the plain one still wakes
            // at its time.
            m_handle = ::CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);
        }
    }
    ~WaitableTimer() {
        if (m_handle != nullptr) {
            ::CloseHandle(m_handle);
        }
    }
    WaitableTimer(const WaitableTimer&) = delete;
    WaitableTimer& operator=(const WaitableTimer&) = delete;

    // False where no timer could be made, or it could not be set.
    bool sleep(std::chrono::nanoseconds length) {
        if (m_handle == nullptr) {
            return false;
        }
        LARGE_INTEGER due{};
        // Negative: relative, in units of 100 ns.
        due.QuadPart = -std::max<LONGLONG>(1, length.count() / 100);
        if (::SetWaitableTimerEx(m_handle, &due, 0, nullptr, nullptr, nullptr, 0) == 0) {
            return false;
        }
        // No message wakes it (mask 0) and none is handled: input and the session's end still
        // wait for the handler. Waiting the way a window's thread does tells the system the
        // thread is idle, so Wine, whose windows reach X only then, shows what was drawn.
        return ::MsgWaitForMultipleObjectsEx(1, &m_handle, INFINITE, 0, 0) == WAIT_OBJECT_0;
    }

private:
    HANDLE m_handle;
};

} // namespace

void sleepUntil(std::chrono::steady_clock::time_point until) {
    thread_local WaitableTimer timer;
    const auto left = until - std::chrono::steady_clock::now();
    if (left <= std::chrono::steady_clock::duration::zero()) {
        return;
    }
    if (!timer.sleep(std::chrono::duration_cast<std::chrono::nanoseconds>(left))) {
        std::this_thread::sleep_until(until);
    }
}

} // namespace host
