// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "host/controls/shape.h"

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
    painter.setBrush(toQColor(m_fill));
    const int side = std::min(width(), height());
    const QRect box((width() - side) / 2, (height() - side) / 2, side - 1, side - 1);
    if (m_outlineWidth == 1) {
        painter.setPen(QPen(toQColor(m_outline), 1));
        painter.drawEllipse(box);
        return;
    }
    // A wider outline stays inside the box: the outline disc, then the fill inset by its width.
    painter.setPen(Qt::NoPen);
    painter.setBrush(toQColor(m_outline));
    painter.drawEllipse(box.adjusted(0, 0, 1, 1));
    painter.setBrush(toQColor(m_fill));
    const int w = m_outlineWidth;
    painter.drawEllipse(box.adjusted(w, w, 1 - w, 1 - w));
}

} // namespace host
