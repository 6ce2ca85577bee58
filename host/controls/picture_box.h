// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// A picture box: a sunken panel whose inner area holds child controls and keeps what is drawn on
// it.
#pragma once

#include "host/controls/circle_record.h"
#include "host/screen/circle_raster.h"
#include "host/screen/colour.h"

#include <QImage>
#include <QWidget>
#include <functional>
#include <optional>

namespace host {

class CallGate;
class CompositorLayer;
class ScreenPacer;

// The inner area: paints the persistent drawing, so a repaint restores every circle.
class PictureSurface : public QWidget {
    Q_OBJECT

public:
    // Draws what was drawn anew into a blank image of the surface's present size.
    using Redraw = std::function<void(QImage&)>;

    PictureSurface(Bgr background, QWidget* parent);

    // The drawing in device pixels, created on first use. When the surface's size or pixel ratio
    // has changed since, it is made anew at the new size, never stretched.
    [[nodiscard]] QImage& drawing();
    [[nodiscard]] bool hasDrawing() const { return !m_drawing.isNull(); }
    void setRedraw(Redraw redraw) { m_redraw = std::move(redraw); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Bgr m_background;
    QImage m_drawing;
    Redraw m_redraw;
};

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
    Bgr m_foreColor = colours::black;
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
