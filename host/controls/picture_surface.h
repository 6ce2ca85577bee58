// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// A picture box's inner area: paints the persistent drawing, so a repaint restores every circle.
#pragma once

#include "host/screen/bgr.h"

#include <QImage>
#include <QWidget>
#include <functional>

namespace host {

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

} // namespace host
