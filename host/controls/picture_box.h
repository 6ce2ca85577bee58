// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// A picture box: a sunken panel whose inner area holds child controls and keeps what is drawn on
// it.
#pragma once

#include "host/controls/circle_record.h"
#include "host/controls/picture_surface.h"
#include "host/paint/circle_outlines.h"
#include "host/screen/bgr.h"

#include <QImage>
#include <QWidget>
#include <functional>
#include <optional>

namespace host {

class CallGate;
class CompositorLayer;
class ScreenPacer;

class PictureBox : public QWidget {
    Q_OBJECT

public:
    // Two rings of one pixel each at zoom 1.
    static constexpr int borderWidth = 2;

    PictureBox(const QString& name, Bgr background, CallGate& gate, QWidget* parent,
               ScreenPacer* pacer = nullptr);

    // Sets the outer rectangle and lays out the inner area at once, shown or not; each of the
    // border's two rings is `ring` pixels deep.
    void place(const QRect& geometry, int ring = 1);

    // Where child controls go: clipped to the inner area, positioned from its corner.
    [[nodiscard]] QWidget* inner() const { return m_surface; }

    // Later drawing uses user coordinates with (x1, y1) at the upper-left and (x2, y2) at the
    // lower-right corner of the inner area.
    void Scale(float x1, float y1, float x2, float y2);

    // The outline of a circle, one pixel wide, never filled, not antialiased, on the screen
    // before this returns. Without a colour it takes ForeColor.
    void Circle(float x, float y, float radius, std::optional<Bgr> colour = std::nullopt);

    [[nodiscard]] Bgr foreColor() const { return m_foreColor; }
    [[nodiscard]] Bgr backColor() const { return m_background; }

    // User coordinates to logical pixels of the inner area.
    [[nodiscard]] QPointF toPixels(double x, double y) const;
    [[nodiscard]] double pixelsPerUnitX() const;

    // What has been drawn, in device pixels (tests and screenshots read it).
    [[nodiscard]] QImage drawing() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void redraw(QImage& image);

    CallGate& m_gate;
    ScreenPacer* m_pacer;
    Bgr m_background;
    Bgr m_foreColor = defaultForeColor;
    PictureSurface* m_surface;
    // Where frames are paced (Wayland), the inner area is shown on a layer of its own once drawn
    // on.
    CompositorLayer* m_layer = nullptr;
    CircleOutlines m_outlines;
    int m_ring = 1;
    // Twips until the first Scale call.
    UserScale m_scale;
    CircleRecord m_record;
};

} // namespace host
