// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "host/paint/last_frame_wait.h"

#include <QEvent>
#include <QWidget>
#include <chrono>

namespace host {

namespace {

// A compositor sends no answer for a surface it does not show, so the wait has an end; a busy one
// answers late (KWin took up to a quarter of a second with every core busy), and an answer that
// comes as the window goes is the very race, so the end is far beyond that.
constexpr std::chrono::milliseconds longestWait{2000};

} // namespace

LastFrameWait::LastFrameWait(QWidget* window) : QObject(window), m_window(window) {
    m_bound.setSingleShot(true);
    m_bound.setInterval(longestWait);
    connect(&m_bound, &QTimer::timeout, this, &LastFrameWait::finish);
}

// Qt 6.4's Wayland client destroys a frame's answer (its wl_callback) on its frame thread when
// the answer comes, and again on this thread when the surface goes, with no lock between the
// two: an answer arriving as the window closes is destroyed twice, and libwayland aborts
// (wl_proxy_unref: refcount > 0). So the window goes only with no frame unanswered, on any of
// its surfaces. An update request reaches a surface once its last frame is answered (at once if
// none is waiting); from then on every one is kept from the surfaces, so that nothing is drawn and
// sent after it. The request is posted to this thread before the frame thread lets go of the
// surface (it still wakes the surface's frame waiters, under the surface's frame lock): asking
// once more takes that lock, so the frame thread is done with the surface when the window goes.
bool LastFrameWait::settled() {
    if (m_settled) {
        return true;
    }
    QWindow* top = m_window->windowHandle();
    if (top == nullptr || !m_window->isVisible()) {
        m_settled = true;
        return true;
    }
    if (!m_waiting) {
        m_waiting = true;
        QList<QWindow*> surfaces = top->findChildren<QWindow*>();
        surfaces.prepend(top);
        for (QWindow* surface : surfaces) {
            if (surface->handle() != nullptr) {
                m_unanswered << surface;
                surface->installEventFilter(this);
                surface->requestUpdate();
            }
        }
        m_bound.start();
    }
    return false;
}

bool LastFrameWait::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::UpdateRequest || !(m_waiting || m_settled)) {
        return QObject::eventFilter(watched, event);
    }
    if (m_waiting) {
        const qsizetype before = m_unanswered.size();
        m_unanswered.removeIf([&](const QPointer<QWindow>& surface) {
            return surface == nullptr || surface == watched;
        });
        if (m_unanswered.size() < before) {
            static_cast<QWindow*>(watched)->requestUpdate();
        }
        if (m_unanswered.isEmpty()) {
            finish();
        }
    }
    return true;
}

void LastFrameWait::finish() {
    if (!m_waiting) {
        return;
    }
    m_waiting = false;
    m_settled = true;
    m_bound.stop();
    m_window->close();
}

} // namespace host
