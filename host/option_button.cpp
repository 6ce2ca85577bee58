#include "host/option_button.h"

#include "host/call_gate.h"

#include <QButtonGroup>

namespace host {

namespace {

void paintBackground(QWidget& widget, Bgr background) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, toQColor(background));
    palette.setColor(QPalette::Button, toQColor(background));
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

} // namespace

Frame::Frame(const QString& name, Bgr background, QWidget* parent)
    : QWidget(parent), m_group(new QButtonGroup(this)) {
    setObjectName(name);
    m_group->setExclusive(true);
    paintBackground(*this, background);
}

OptionButton::OptionButton(const QString& name, Bgr background, CallGate& gate, Frame* frame)
    : QRadioButton(frame), m_gate(gate) {
    setObjectName(name);
    paintBackground(*this, background);
    frame->group()->addButton(this);
    connect(this, &QAbstractButton::toggled, this, [this](bool checked) {
        if (checked) {
            emit Click();
        }
    });
}

bool OptionButton::Value() const {
    m_gate.check(Operation::Value, objectName());
    return isChecked();
}

} // namespace host
