// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// The top-level window built from its description, with an activation event raised once.
#pragma once

#include "host/controls/named_control.h"
#include "host/screen/zoom.h"

#include <QWidget>
#include <chrono>
#include <vector>

namespace host {

class BusAnswers;
class CallGate;
class Dispatcher;
class LastFrameWait;
struct FormSpec;
class ScreenPacer;

// The size, in twips, that the zoom fits into the client area: the window's own controls with
// the margin left of and above them repeated right of and below them.
[[nodiscard]] QSize designExtent(const FormSpec& form);

class Window : public QWidget {
    Q_OBJECT

public:
    // Creates every control of the description, front to back and in tab order.
    Window(const FormSpec& form, CallGate& gate, Dispatcher& dispatcher, QWidget* parent = nullptr);

    // The control of that name and kind; a name the description lacks stops the program.
    template <class Control> [[nodiscard]] Control& control(const char* name) const {
        return namedControl<Control>(*this, QString::fromUtf8(name));
    }

    [[nodiscard]] bool hasBeenActivated() const { return m_activated; }
    // The zoom the window is laid out at, chosen anew from the client area at every resize.
    [[nodiscard]] const Zoom& zoom() const { return m_zoom; }
    // Holds the thread until `deadline` without using the processor: a handler's wait, which
    // returns nothing to the event loop. The screen still gets its frames meanwhile, and a
    // screen reader its answers.
    void idleUntil(std::chrono::steady_clock::time_point deadline);

signals:
    // The window became active (focused, or first on the screen) for the first time after it
    // was shown. Raised once only, as the form's Activate is: a handler that sets the form up
    // there must not run again on a later activation.
    void Activate();
    // The window is going: raised once, before it waits for its last frames to be answered.
    void closing();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void raiseActivate();
    void layOut();

    const FormSpec& m_form;
    // The controls in the description's order.
    std::vector<QObject*> m_controls;
    QSize m_extent;
    Zoom m_zoom;
    ScreenPacer* m_pacer;
    LastFrameWait* m_lastFrame;
    BusAnswers* m_answers = nullptr; // a child: there as long as the window is
    bool m_activated = false;
    bool m_closing = false;
};

} // namespace host
