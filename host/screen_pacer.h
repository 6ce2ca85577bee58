// Brings what the controls drew to the screen: each change at once where a flush is cheap (X11),
// at most once a frame where every flush goes through a compositor (Wayland).
#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <chrono>
#include <optional>

class QWidget;

namespace host {

// When a frame-paced flush is due: a frame after the last one ended, and never so soon that
// flushing could take more than a tenth of the time, however slow the compositor is. One flush
// that waited very long (the window's first) holds back the next by a few hundred milliseconds at
// most.
class FrameBudget {
public:
    using Duration = std::chrono::nanoseconds;

    explicit FrameBudget(Duration frame) : m_frame(frame) {}

    [[nodiscard]] bool due(Duration now) const;
    void flushed(Duration start, Duration end);

private:
    static constexpr int restPerFlush = 9;
    static constexpr std::chrono::milliseconds longestRest{400};
    Duration m_frame;
    std::optional<Duration> m_lastEnd;
    Duration m_lastCost{0};
};

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

    // The pacer of the control's window; null for a control outside a program window, which
    // then shows each change at once.
    [[nodiscard]] static ScreenPacer* of(const QWidget* control);

    [[nodiscard]] Mode mode() const { return m_mode; }

    // A control is about to change what it shows. When a frame is due, the screen first gets
    // what is drawn now: it has been there longest (the electron, all through its wait).
    void beforeChange();
    // The control changed `rect` (its own coordinates); it reaches the screen with a frame.
    void changed(QWidget* control, const QRect& rect);

private:
    void flushPending();

    Mode m_mode;
    FrameBudget m_budget;
    QPointer<QWidget> m_pendingControl;
    QRect m_pendingRect;
};

// What controls call; a control without a pacer shows each change at once.
void beforeChange(const QWidget* control);
void showChange(QWidget* control, const QRect& rect);

} // namespace host
