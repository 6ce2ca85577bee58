#include "host/shape.h"

#include <QPainter>

namespace host {

Shape::Shape(const QString& name, Bgr fill, Bgr outline, QWidget* parent)
    : QWidget(parent), m_fill(fill), m_outline(outline) {
    setObjectName(name);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Shape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(toQColor(m_outline), 1));
    painter.setBrush(toQColor(m_fill));
    const int side = std::min(width(), height());
    painter.drawEllipse(QRect((width() - side) / 2, (height() - side) / 2, side - 1, side - 1));
}

} // namespace host
