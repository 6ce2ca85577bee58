// The top-level window built from its description, with an activation event raised once.
#pragma once

#include "host/colour.h"
#include "host/zoom.h"

#include <QWidget>
#include <vector>

namespace ui {
struct FormSpec;
}

namespace host {

class CallGate;
class Dispatcher;
class ReadingOrder;
class ScreenPacer;

class Window : public QWidget {
    Q_OBJECT

public:
    // Creates every control of the description, front to back and in tab order.
    Window(const ui::FormSpec& form, CallGate& gate, Dispatcher& dispatcher,
           QWidget* parent = nullptr);

    // The control of that name and kind. A name the description lacks is a programming error:
    // it stops the program in every build, never hands out a null reference.
    template <class Control> [[nodiscard]] Control& control(const char* name) const {
        auto* found = findChild<Control*>(QString::fromUtf8(name));
        if (found == nullptr) {
            qFatal("Window::control: no %s of that kind in the window", name);
        }
        return *found;
    }

    // The program window a control sits in; null for a control outside one.
    [[nodiscard]] static const Window* of(const QWidget* control) {
        return qobject_cast<const Window*>(control->window());
    }

    [[nodiscard]] Bgr backColor() const { return m_background; }
    [[nodiscard]] bool hasBeenActivated() const { return m_activated; }
    [[nodiscard]] ScreenPacer* screenPacer() const { return m_pacer; }
    // The zoom the window was laid out at: chosen before it is first drawn, kept for its life.
    [[nodiscard]] const Zoom& zoom() const { return m_zoom; }
    // What a screen reader walks; null while the window is being built.
    [[nodiscard]] const ReadingOrder* readingOrder() const { return m_reading; }

signals:
    // The window became active (focused, or first on the screen) for the first time after it
    // was shown. Raised once only: a later activation would reset the electron to orbit 1
    // beside another series' figures.
    void Activate();
    void closing();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void raiseActivate();
    void layOut();

    const ui::FormSpec& m_form;
    // The controls in the description's order.
    std::vector<QObject*> m_controls;
    QSize m_extent;
    Zoom m_zoom;
    bool m_zoomFixed = false;
    ReadingOrder* m_reading = nullptr;
    Bgr m_background;
    ScreenPacer* m_pacer;
    bool m_activated = false;
};

} // namespace host
