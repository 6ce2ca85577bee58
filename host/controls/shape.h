// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// A circle shape with an outline (one pixel at zoom 1) and a solid fill.
#pragma once

#include "host/screen/bgr.h"

#include <QWidget>

namespace host {

class Shape : public QWidget {
    Q_OBJECT

public:
    Shape(const QString& name, Bgr fill, Bgr outline, QWidget* parent);

    [[nodiscard]] Bgr fillColor() const { return m_fill; }
    void setOutlineWidth(int pixels) { m_outlineWidth = pixels; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Bgr m_fill;
    Bgr m_outline;
    int m_outlineWidth = 1;
};

} // namespace host
