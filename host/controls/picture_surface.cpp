// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "host/controls/picture_surface.h"

#include <QPaintEvent>
#include <QPainter>

namespace host {

PictureSurface::PictureSurface(Bgr background, QWidget* parent)
    : QWidget(parent), m_background(background) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QImage& PictureSurface::drawing() {
    const qreal ratio = devicePixelRatioF();
    const QSize deviceSize = (QSizeF(size()) * ratio).toSize();
    if (m_drawing.isNull() || m_drawing.size() != deviceSize ||
        m_drawing.devicePixelRatio() != ratio) {
        m_drawing = QImage(deviceSize, QImage::Format_RGB32);
        m_drawing.setDevicePixelRatio(ratio);
        m_drawing.fill(toQColor(m_background));
        if (m_redraw) {
            m_redraw(m_drawing);
        }
    }
    return m_drawing;
}

void PictureSurface::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (m_drawing.isNull()) {
        painter.fillRect(event->rect(), toQColor(m_background));
        return;
    }
    // After a change of size or screen, the circles at the new size.
    const QImage& image = drawing();
    const QRect area = event->rect();
    const qreal ratio = image.devicePixelRatio();
    const QRectF source(area.x() * ratio, area.y() * ratio, area.width() * ratio,
                        area.height() * ratio);
    painter.drawImage(QRectF(area), image, source);
}

} // namespace host
