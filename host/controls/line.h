// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// A line between two end points with a writable colour, drawn over what lies behind it.
#pragma once

#include "host/screen/bgr.h"

#include <QWidget>

namespace host {

class CallGate;
class ScreenPacer;

class Line : public QWidget {
    Q_OBJECT

public:
    // End points in pixels of the container; the width in pixels.
    Line(const QString& name, QPoint from, QPoint to, int width, Bgr colour, CallGate& gate,
         QWidget* parent, ScreenPacer* pacer = nullptr);

    // Places the line again, end points in pixels of the container, at the window's zoom.
    void place(QPoint from, QPoint to, int width);

    void setBorderColor(Bgr colour);
    [[nodiscard]] Bgr borderColor() const { return m_colour; }
    [[nodiscard]] int borderWidth() const { return m_width; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CallGate& m_gate;
    ScreenPacer* m_pacer;
    QPoint m_from;
    QPoint m_to;
    int m_width;
    Bgr m_colour;
};

} // namespace host
