// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "host/form/window.h"

#include "host/accessibility/bus_answers.h"
#include "host/accessibility/reading_order.h"
#include "host/controls/frame.h"
#include "host/controls/image.h"
#include "host/controls/label.h"
#include "host/controls/line.h"
#include "host/controls/option_button.h"
#include "host/controls/picture_box.h"
#include "host/controls/shape.h"
#include "host/controls/timer.h"
#include "host/dispatch/call_gate.h"
#include "host/dispatch/dispatcher.h"
#include "host/form/control_spec.h"
#include "host/paint/last_frame_wait.h"
#include "host/paint/screen_pacer.h"
#include "host/screen/bgr.h"
#include "host/screen/units.h"
#include "host/screen/zoom.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QPointer>
#include <QTimer>

namespace host {

namespace {

// The widget a control of that container is placed in.
QWidget* containerWidget(Window& form, const char* container) {
    const QString name = QString::fromUtf8(container);
    if (name.isEmpty()) {
        return &form;
    }
    if (auto* picture = form.findChild<PictureBox*>(name)) {
        return picture->inner();
    }
    return form.findChild<Frame*>(name);
}

QObject* createControl(const ControlSpec& row, Window& form, CallGate& gate, Dispatcher& dispatcher,
                       ScreenPacer* pacer) {
    const QString name = QString::fromUtf8(row.name);
    QWidget* parent = containerWidget(form, row.container);
    Q_ASSERT_X(row.kind == Kind::Timer || parent, "buildControls", row.container);
    switch (row.kind) {
    case Kind::Timer: {
        auto* timer = new Timer(name, row.intervalMs, gate, dispatcher, &form);
        if (row.value) {
            timer->setEnabled(true);
        }
        return timer;
    }
    case Kind::PictureBox:
        return new PictureBox(name, row.back, gate, parent, pacer);
    case Kind::Frame:
        return new Frame(name, row.back, parent);
    case Kind::Label: {
        auto* label = new Label(name, row.font, gate, parent, pacer);
        label->setDesignCaption(QString::fromUtf8(row.caption));
        label->setColours(row.fore, row.back);
        label->setAlignment(row.alignment);
        return label;
    }
    case Kind::OptionButton: {
        auto* frame = qobject_cast<Frame*>(parent);
        Q_ASSERT_X(frame, "buildControls", "option buttons belong in a frame");
        auto* button = new OptionButton(name, row.back, gate, frame);
        button->setChecked(row.value);
        return button;
    }
    case Kind::Line:
        return new Line(name, {}, {}, row.borderWidth, row.fore, gate, parent, pacer);
    case Kind::Shape:
        return new Shape(name, row.back, row.fore, parent);
    case Kind::Image:
        return new Image(name, QImage(QString::fromUtf8(row.picture)), parent);
    }
    return nullptr;
}

// Puts a control where the description says, at the window's zoom; the controls placed on the
// window itself also move by the zoom's offset.
void placeControl(const ControlSpec& row, QObject* control, const Zoom& zoom) {
    const double z = zoom.factor;
    const QPoint shift = *row.container == '\0' ? zoom.offset : QPoint();
    const QRect geometry = twipsRect(row.left, row.top, row.width, row.height, z).translated(shift);
    if (auto* picture = qobject_cast<PictureBox*>(control)) {
        picture->place(geometry, penPixels(1, z));
    } else if (auto* line = qobject_cast<Line*>(control)) {
        line->place(QPoint(twipsToPixels(row.x1, z), twipsToPixels(row.y1, z)) + shift,
                    QPoint(twipsToPixels(row.x2, z), twipsToPixels(row.y2, z)) + shift,
                    penPixels(row.borderWidth, z));
    } else if (auto* widget = qobject_cast<QWidget*>(control)) {
        widget->setGeometry(geometry);
        if (auto* label = qobject_cast<Label*>(widget)) {
            label->setZoom(z);
        } else if (auto* button = qobject_cast<OptionButton*>(widget)) {
            button->setZoom(z);
        } else if (auto* shape = qobject_cast<Shape*>(widget)) {
            shape->setOutlineWidth(penPixels(1, z));
        }
    }
}

// The design's extent with its own margins: as far right and down as its controls reach, plus
// the margin it leaves at the left and the top.
} // namespace

QSize designExtent(const FormSpec& form) {
    QRect reach;
    for (const ControlSpec& row : form.controls) {
        if (*row.container == '\0' && row.kind != Kind::Timer) {
            reach |= QRect(row.left, row.top, row.width, row.height);
        }
    }
    return {reach.right() + 1 + reach.left(), reach.bottom() + 1 + reach.top()};
}

Window::Window(const FormSpec& form, CallGate& gate, Dispatcher& dispatcher, QWidget* parent)
    : QWidget(parent), m_form(form), m_extent(designExtent(form)),
      m_pacer(new ScreenPacer(ScreenPacer::modeFor(QGuiApplication::platformName()), this)),
      // Where frames wait for the compositor's answer, the close waits for the last ones.
      m_lastFrame(m_pacer->mode() == ScreenPacer::Mode::OncePerFrame ? new LastFrameWait(this)
                                                                     : nullptr) {
    ReadingOrder::install();
    // Before anything a reader could hear of: the window is the top of its walk from the start.
    auto* reading = new ReadingOrder(*this);
    setObjectName(QString::fromUtf8(form.name));
    setWindowTitle(QString::fromUtf8(form.caption));
    setWindowIcon(QIcon(QString::fromUtf8(form.icon)));
    setFont(toQFont(form.font));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, toQColor(form.background));
    setPalette(palette);
    setAutoFillBackground(true);
    resize(twipsToPixels(form.restoredWidth), twipsToPixels(form.restoredHeight));

    // A long handler's control calls let a screen reader's calls through.
    m_answers = new BusAnswers(this);
    gate.setInterlude([answers = QPointer(m_answers)] {
        if (answers) {
            answers->answerWaiting();
        }
    });
    for (const ControlSpec& row : form.controls) {
        m_controls.push_back(createControl(row, *this, gate, dispatcher, m_pacer));
    }
    layOut();
    // Listed front to back: raising from the back leaves the first of each container on top.
    // By index, not a reverse view: the static analyser cannot read libstdc++'s views yet.
    for (std::size_t i = form.controls.size(); i > 0; --i) {
        if (auto* widget = findChild<QWidget*>(QString::fromUtf8(form.controls[i - 1].name))) {
            widget->raise();
        }
    }
    QWidget* previous = nullptr;
    for (const char* name : form.tabOrder) {
        QWidget* next = &control<QWidget>(name);
        if (previous != nullptr) {
            QWidget::setTabOrder(previous, next);
        }
        previous = next;
    }
    for (const AccessibleText& text : form.accessibility) {
        QWidget& widget = objectName() == QString::fromUtf8(text.control)
                              ? *this
                              : control<QWidget>(text.control);
        widget.setAccessibleName(QString::fromUtf8(text.name));
        widget.setAccessibleDescription(QString::fromUtf8(text.description));
    }
    reading->follow(form.readingOrder);
}

void Window::idleUntil(std::chrono::steady_clock::time_point deadline) {
    m_answers->idleUntil(m_pacer, deadline);
}

void Window::layOut() {
    for (std::size_t i = 0; i < m_controls.size(); ++i) {
        placeControl(m_form.controls[i], m_controls[i], m_zoom);
    }
}

void Window::resizeEvent(QResizeEvent* event) {
    // The zoom follows the client area whenever it changes: some window managers maximise or
    // tile the window only after it is first drawn, and a user may resize it or move it to a
    // projector. No handler runs for it; the controls are placed again as at the start.
    const Zoom chosen = chooseZoom(size(), m_extent);
    if (chosen != m_zoom) {
        m_zoom = chosen;
        layOut();
    }
    QWidget::resizeEvent(event);
}

bool Window::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        raiseActivate();
    } else if (event->type() == QEvent::Paint && !m_activated) {
        // The program's only window is its active one as soon as it is on the screen; waiting for
        // the window manager's focus would leave the picture empty for a visible moment, or for
        // good under a manager that never focuses new windows. Raised after the paint, not
        // inside it, since the handler draws.
        QTimer::singleShot(0, this, [this] { raiseActivate(); });
    }
    return QWidget::event(event);
}

void Window::raiseActivate() {
    if (m_activated) {
        return;
    }
    m_activated = true;
    emit Activate();
}

void Window::closeEvent(QCloseEvent* event) {
    if (!m_closing) {
        m_closing = true;
        emit closing();
    }
    if (m_lastFrame != nullptr && !m_lastFrame->settled()) {
        event->ignore(); // closed again once the compositor has answered
        return;
    }
    QWidget::closeEvent(event);
}

} // namespace host
