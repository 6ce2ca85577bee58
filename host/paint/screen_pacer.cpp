// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "host/paint/screen_pacer.h"

#include "host/paint/compositor_layer.h"
#include "host/paint/x11_direct_put.h"
#include "host/platform/precise_sleep.h"
#include "host/platform/toolkit_setup.h"

#include <QAbstractEventDispatcher>
#include <QImage>
#include <QScreen>
#include <QWidget>

namespace host {

namespace {

FrameBudget::Duration now() {
    return std::chrono::duration_cast<FrameBudget::Duration>(
        std::chrono::steady_clock::now().time_since_epoch());
}

FrameBudget::Duration frameOf(const QWidget* window) {
    const QScreen* screen = window->screen();
    const double hertz = screen && screen->refreshRate() >= 1 ? screen->refreshRate() : 60.0;
    return std::chrono::duration_cast<FrameBudget::Duration>(
        std::chrono::duration<double>(1.0 / hertz));
}

// Qt's Wayland client sends what it has queued (the frame's buffer, attached and committed) and
// reads the compositor's answers (buffers released, frames done) when the event loop is about to
// wait, and otherwise only once all its buffers are taken. A revolution keeps the loop from
// waiting for its whole length, so the compositor would get its frames late, in bursts, and show
// the picture mostly after the revolution, the ring erased. Each frame is sent as it is made.
void sendToCompositor() {
    if (QAbstractEventDispatcher* loop = QAbstractEventDispatcher::instance()) {
        emit loop->aboutToBlock();
    }
}

} // namespace

ScreenPacer::Mode ScreenPacer::modeFor(const QString& platformName) {
    return isWaylandPlatform(platformName) ? Mode::OncePerFrame : Mode::EveryChange;
}

ScreenPacer::ScreenPacer(Mode mode, QWidget* window)
    : QObject(window), m_mode(mode), m_budget(frameOf(window)),
      m_directPut(mode == Mode::EveryChange ? X11DirectPut::create() : nullptr) {}

ScreenPacer::~ScreenPacer() = default;

void ScreenPacer::beforeChange() {
    if (m_mode == Mode::OncePerFrame && (m_pendingControl || m_pendingLayer) &&
        m_budget.due(now())) {
        flushPending();
    }
}

void ScreenPacer::changed(QWidget* control, const QRect& rect) {
    if (m_pendingControl == control) {
        m_pendingRect |= rect;
    } else {
        m_pendingControl = control;
        m_pendingRect = rect;
    }
    // Painted when the event loop runs again, unless a frame comes due first: a handler that
    // returns soon shows its change then, one that holds the thread shows it on the next frame.
    // The frame's whole rectangle, not this change's: Qt's dirty region stays one rectangle
    // instead of gathering every change of the frame, each reallocating it (thousands a second
    // during a revolution).
    control->update(m_pendingRect);
}

void ScreenPacer::idleUntil(std::chrono::steady_clock::time_point deadline) {
    // Waking for the frame, not for the next change after the wait: a wait longer than a frame
    // would otherwise hold the picture back and show it less often than the compositor does.
    while (m_mode == Mode::OncePerFrame && (m_pendingControl || m_pendingLayer)) {
        const std::chrono::steady_clock::time_point due(m_budget.dueAt());
        if (due >= deadline) {
            break;
        }
        sleepUntil(due);
        flushPending();
    }
    sleepUntil(deadline);
}

void ScreenPacer::changedOnLayer(CompositorLayer* layer, const QRect& rect) {
    m_pendingLayer = layer;
    layer->markChanged(rect);
}

void ScreenPacer::flushPending() {
    const auto start = now();
    if (m_pendingControl) {
        // One repaint brings every change marked in the window since the last flush.
        m_pendingControl->repaint(m_pendingRect);
        m_pendingControl = nullptr;
    }
    if (m_pendingLayer) {
        m_pendingLayer->flush();
        m_pendingLayer = nullptr;
    }
    sendToCompositor();
    m_budget.flushed(start, now());
}

void beforeChange(ScreenPacer* pacer) {
    if (pacer != nullptr) {
        pacer->beforeChange();
    }
}

void idleUntil(ScreenPacer* pacer, std::chrono::steady_clock::time_point deadline) {
    if (pacer != nullptr) {
        pacer->idleUntil(deadline);
    } else {
        sleepUntil(deadline);
    }
}

void showChange(ScreenPacer* pacer, QWidget* control, const QRect& rect) {
    if (!control->isVisible() || rect.isEmpty()) {
        return;
    }
    if (pacer != nullptr && pacer->mode() == ScreenPacer::Mode::OncePerFrame) {
        pacer->changed(control, rect);
    } else {
        // On the screen before this returns: a handler may hold the thread for a long time.
        control->repaint(rect);
    }
}

void showDrawing(ScreenPacer* pacer, QWidget* control, const QImage& drawing,
                 const QRect& deviceRect, CompositorLayer* layer) {
    if (deviceRect.isEmpty()) {
        return;
    }
    if (pacer != nullptr && pacer->directPut() != nullptr &&
        pacer->directPut()->put(control, drawing, deviceRect)) {
        return;
    }
    const double ratio = drawing.devicePixelRatio();
    const QRect rect = QRectF(deviceRect.x() / ratio, deviceRect.y() / ratio,
                              deviceRect.width() / ratio, deviceRect.height() / ratio)
                           .toAlignedRect();
    if (layer != nullptr) {
        pacer->changedOnLayer(layer, rect);
    } else {
        showChange(pacer, control, rect);
    }
}

} // namespace host
