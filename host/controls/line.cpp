// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "host/controls/line.h"

#include "host/dispatch/call_gate.h"
#include "host/paint/screen_pacer.h"

#include <QPainter>

namespace host {

Line::Line(const QString& name, QPoint from, QPoint to, int width, Bgr colour, CallGate& gate,
           QWidget* parent, ScreenPacer* pacer)
    : QWidget(parent), m_gate(gate), m_pacer(pacer), m_width(width), m_colour(colour) {
    setObjectName(name);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    place(from, to, width);
}

void Line::place(QPoint from, QPoint to, int width) {
    m_width = width;
    // The widget covers the pen's footprint: the extra pixels of a wide pen go right and down.
    const QRect box = QRect(from, to).normalized().adjusted(0, 0, width - 1, width - 1);
    setGeometry(box);
    m_from = from - box.topLeft();
    m_to = to - box.topLeft();
}

void Line::setBorderColor(Bgr colour) {
    m_gate.check(Operation::BorderColor, objectName());
    beforeChange(m_pacer);
    m_colour = colour;
    showChange(m_pacer, this, rect());
}

void Line::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QColor colour = toQColor(m_colour);
    if (m_from.x() == m_to.x() || m_from.y() == m_to.y()) {
        // Upright and level lines fill whole pixels: exact whatever the pen width.
        painter.fillRect(rect(), colour);
        return;
    }
    painter.setPen(QPen(colour, m_width, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(m_from, m_to);
}

} // namespace host
