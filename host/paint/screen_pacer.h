// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// Brings what the controls drew to the screen: each change at once where a flush is cheap (X11),
// at most once a frame where every flush goes through a compositor (Wayland).
#pragma once

#include "host/paint/frame_budget.h"

#include <QObject>
#include <QPointer>
#include <QRect>
#include <chrono>
#include <memory>

class QImage;
class QWidget;

namespace host {

class CompositorLayer;
class X11DirectPut;

class ScreenPacer : public QObject {
    Q_OBJECT

public:
    enum class Mode {
        // Every change is flushed before the drawing call returns.
        EveryChange,
        // Changes wait for the next frame. A compositor shows nothing between two of its frames,
        // and a flush beyond one a frame waits for a buffer to come back: one frame per circle.
        OncePerFrame,
    };

    [[nodiscard]] static Mode modeFor(const QString& platformName);

    ScreenPacer(Mode mode, QWidget* window);
    ~ScreenPacer() override;

    [[nodiscard]] Mode mode() const { return m_mode; }

    // A control is about to change what it shows. When a frame is due, the screen first gets
    // what is drawn now: it has been there longest (all through the handler's wait).
    void beforeChange();
    // The control changed `rect` (its own coordinates); it reaches the screen with a frame.
    void changed(QWidget* control, const QRect& rect);
    // The same for a control shown on a layer of its own.
    void changedOnLayer(CompositorLayer* layer, const QRect& rect);
    // Holds the thread until `deadline`, sending a frame that comes due meanwhile at its time.
    void idleUntil(std::chrono::steady_clock::time_point deadline);

    // Where a change can go straight to the X server, the pixels' way there; null elsewhere.
    [[nodiscard]] X11DirectPut* directPut() const { return m_directPut.get(); }

private:
    void flushPending();

    Mode m_mode;
    FrameBudget m_budget;
    QPointer<QWidget> m_pendingControl;
    QRect m_pendingRect;
    QPointer<CompositorLayer> m_pendingLayer;
    std::unique_ptr<X11DirectPut> m_directPut;
};

// What controls call with the pacer their window handed them; without one (a control outside a
// program window) each change shows at once.
void beforeChange(ScreenPacer* pacer);
void showChange(ScreenPacer* pacer, QWidget* control, const QRect& rect);
// Holds the thread until `deadline` without using the processor: a handler's wait. The screen
// still gets its frames meanwhile.
void idleUntil(ScreenPacer* pacer, std::chrono::steady_clock::time_point deadline);
// A change to a control's own drawing, `deviceRect` of `drawing` (device pixels): on X the pixels
// go to the server themselves, without the toolkit's repaint, which costs three times as much;
// where the control is shown on a `layer` of its own (only where frames are paced, so `pacer` is
// there too), that layer gets it with the next frame;
// elsewhere, and where that cannot be done, as showChange.
void showDrawing(ScreenPacer* pacer, QWidget* control, const QImage& drawing,
                 const QRect& deviceRect, CompositorLayer* layer = nullptr);

} // namespace host
