// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "host/controls/picture_box.h"

#include "host/dispatch/call_gate.h"
#include "host/paint/circle_outlines.h"
#include "host/paint/compositor_layer.h"
#include "host/paint/screen_pacer.h"

#include <QPaintEvent>
#include <QPainter>
#include <cmath>

namespace host {

PictureBox::PictureBox(const QString& name, Bgr background, CallGate& gate, QWidget* parent,
                       ScreenPacer* pacer)
    : QWidget(parent), m_gate(gate), m_pacer(pacer), m_background(background),
      m_surface(new PictureSurface(background, this)) {
    setObjectName(name);
    m_surface->setObjectName(name + QStringLiteral("Surface"));
    m_surface->setRedraw([this](QImage& image) { redraw(image); });
    setFocusPolicy(Qt::StrongFocus);
}

void PictureBox::redraw(QImage& image) {
    const double ratio = image.devicePixelRatio();
    const QSizeF area = m_surface->size();
    m_record.replay([&](const RecordedCircle& circle) {
        m_outlines.draw(image, circle.scale.toPixels(circle.x, circle.y, area) * ratio,
                        circle.radius * circle.scale.pixelsPerUnitX(area) * ratio, circle.colour);
    });
}

void PictureBox::place(const QRect& geometry, int ring) {
    m_ring = ring;
    setGeometry(geometry);
    const int border = borderWidth * ring;
    m_surface->setGeometry(
        QRect(QPoint(0, 0), geometry.size()).adjusted(border, border, -border, -border));
}

void PictureBox::resizeEvent(QResizeEvent*) {
    const int border = borderWidth * m_ring;
    m_surface->setGeometry(rect().adjusted(border, border, -border, -border));
}

void PictureBox::paintEvent(QPaintEvent*) {
    // A thin sunken border: dark above and left, light below and right, two rings deep.
    QPainter painter(this);
    const QRect r = rect();
    const auto edge = [&](QRect box, const QColor& topLeft, const QColor& bottomRight) {
        painter.setPen(topLeft);
        painter.drawLine(box.topLeft(), box.topRight() - QPoint(1, 0));
        painter.drawLine(box.topLeft(), box.bottomLeft() - QPoint(0, 1));
        painter.setPen(bottomRight);
        painter.drawLine(box.bottomLeft(), box.bottomRight());
        painter.drawLine(box.topRight(), box.bottomRight());
    };
    for (int i = 0; i < 2 * m_ring; ++i) {
        const bool outer = i < m_ring;
        edge(r.adjusted(i, i, -i, -i), outer ? QColor(128, 128, 128) : QColor(0, 0, 0),
             outer ? QColor(255, 255, 255) : QColor(192, 192, 192));
    }
}

void PictureBox::Scale(float x1, float y1, float x2, float y2) {
    m_gate.check(Operation::Scale, objectName());
    m_scale = {x1, y1, static_cast<double>(x2) - x1, static_cast<double>(y2) - y1, true};
}

double PictureBox::pixelsPerUnitX() const {
    return m_scale.pixelsPerUnitX(m_surface->size());
}

QPointF PictureBox::toPixels(double x, double y) const {
    return m_scale.toPixels(x, y, m_surface->size());
}

void PictureBox::Circle(float x, float y, float radius, std::optional<Bgr> colour) {
    m_gate.check(Operation::Circle, objectName());
    // Only a picture that is drawn on gets a layer: one surface more for the compositor.
    if (m_layer == nullptr && m_pacer != nullptr &&
        m_pacer->mode() == ScreenPacer::Mode::OncePerFrame) {
        m_layer = new CompositorLayer(m_surface);
    }
    beforeChange(m_pacer);
    QImage& image = m_surface->drawing();
    const double ratio = image.devicePixelRatio();
    const QRgb rgb = toQColor(colour.value_or(m_foreColor)).rgb();
    const QRect changed =
        m_outlines.draw(image, toPixels(x, y) * ratio, radius * pixelsPerUnitX() * ratio, rgb);
    m_record.add({x, y, radius, m_scale, rgb});
    // Only what changed goes to the screen, while the handler may still hold the thread for a
    // whole revolution. Pixels that did not change are on the screen already.
    showDrawing(m_pacer, m_surface, image, changed, m_layer);
}

QImage PictureBox::drawing() const {
    if (!m_surface->hasDrawing()) {
        QImage blank((QSizeF(m_surface->size()) * devicePixelRatioF()).toSize(),
                     QImage::Format_RGB32);
        blank.setDevicePixelRatio(devicePixelRatioF());
        blank.fill(toQColor(m_background));
        return blank;
    }
    return m_surface->drawing();
}

} // namespace host
