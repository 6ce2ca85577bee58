// A circle shape with a one-pixel outline and a solid fill.
#pragma once

#include "host/colour.h"

#include <QWidget>

namespace host {

class Shape : public QWidget {
    Q_OBJECT

public:
    Shape(const QString& name, Bgr fill, Bgr outline, QWidget* parent);

    [[nodiscard]] Bgr fillColor() const { return m_fill; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Bgr m_fill;
    Bgr m_outline;
};

} // namespace host
