#include "host/window.h"

#include "host/call_gate.h"
#include "host/dispatcher.h"
#include "host/image.h"
#include "host/label.h"
#include "host/line.h"
#include "host/option_button.h"
#include "host/picture_box.h"
#include "host/screen_pacer.h"
#include "host/shape.h"
#include "host/timer.h"
#include "host/units.h"
#include "ui/control_spec.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
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

QObject* createControl(const ui::ControlSpec& row, Window& form, CallGate& gate,
                       Dispatcher& dispatcher) {
    const QString name = QString::fromUtf8(row.name);
    QWidget* parent = containerWidget(form, row.container);
    Q_ASSERT_X(row.kind == ui::Kind::Timer || parent, "buildControls", row.container);
    const QRect geometry = twipsRect(row.left, row.top, row.width, row.height);
    QWidget* widget = nullptr;
    switch (row.kind) {
    case ui::Kind::Timer: {
        auto* timer = new Timer(name, row.intervalMs, gate, dispatcher, &form);
        if (row.value) {
            timer->setEnabled(true);
        }
        return timer;
    }
    case ui::Kind::PictureBox: {
        auto* picture = new PictureBox(name, row.back, gate, parent);
        picture->place(geometry);
        return picture;
    }
    case ui::Kind::Frame:
        widget = new Frame(name, row.back, parent);
        break;
    case ui::Kind::Label: {
        auto* label = new Label(name, row.font, gate, parent);
        label->setDesignCaption(QString::fromUtf8(row.caption));
        label->setColours(row.fore, row.back);
        label->setAlignment(row.alignment);
        widget = label;
        break;
    }
    case ui::Kind::OptionButton: {
        auto* frame = qobject_cast<Frame*>(parent);
        Q_ASSERT_X(frame, "buildControls", "option buttons belong in a frame");
        auto* button = new OptionButton(name, row.back, gate, frame);
        button->setChecked(row.value);
        widget = button;
        break;
    }
    case ui::Kind::Line: {
        const QPoint from(twipsToPixels(row.x1), twipsToPixels(row.y1));
        const QPoint to(twipsToPixels(row.x2), twipsToPixels(row.y2));
        return new Line(name, from, to, row.borderWidth, row.fore, gate, parent);
    }
    case ui::Kind::Shape:
        widget = new Shape(name, row.back, row.fore, parent);
        break;
    case ui::Kind::Image:
        widget = new Image(name, QImage(QString::fromUtf8(row.picture)), parent);
        break;
    }
    widget->setGeometry(geometry);
    return widget;
}

} // namespace

Window::Window(const ui::FormSpec& form, CallGate& gate, Dispatcher& dispatcher, QWidget* parent)
    : QWidget(parent), m_background(form.background),
      m_pacer(new ScreenPacer(ScreenPacer::modeFor(QGuiApplication::platformName()), this)) {
    setObjectName(QString::fromUtf8(form.name));
    setWindowTitle(QString::fromUtf8(form.caption));
    setWindowIcon(QIcon(QString::fromUtf8(form.icon)));
    setFont(toQFont(form.font));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, toQColor(form.background));
    setPalette(palette);
    setAutoFillBackground(true);
    resize(twipsToPixels(form.restoredWidth), twipsToPixels(form.restoredHeight));

    for (const ui::ControlSpec& row : form.controls) {
        createControl(row, *this, gate, dispatcher);
    }
    // Listed front to back: raising from the back leaves the first of each container on top.
    // By index, not a reverse view: the static analyser cannot read libstdc++'s views yet.
    for (std::size_t i = form.controls.size(); i > 0; --i) {
        if (auto* widget = findChild<QWidget*>(QString::fromUtf8(form.controls[i - 1].name))) {
            widget->raise();
        }
    }
    QWidget* previous = nullptr;
    for (const char* name : form.tabOrder) {
        auto* next = findChild<QWidget*>(QString::fromUtf8(name));
        if (previous && next) {
            QWidget::setTabOrder(previous, next);
        }
        previous = next;
    }
    for (const ui::AccessibleText& text : form.accessibility) {
        const QString name = QString::fromUtf8(text.control);
        QWidget* widget = name == objectName() ? this : findChild<QWidget*>(name);
        Q_ASSERT_X(widget, "Window", text.control);
        if (!widget) {
            continue;
        }
        widget->setAccessibleName(QString::fromUtf8(text.name));
        widget->setAccessibleDescription(QString::fromUtf8(text.description));
    }
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
    emit closing();
    QWidget::closeEvent(event);
}

} // namespace host
