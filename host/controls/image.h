// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// An image control that shows a bitmap stretched to its rectangle.
#pragma once

#include <QImage>
#include <QWidget>

namespace host {

class Image : public QWidget {
    Q_OBJECT

public:
    Image(const QString& name, QImage picture, QWidget* parent);

    [[nodiscard]] const QImage& picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_picture;
    QImage m_stretched;
};

// Stretches a black-on-white drawing so that no one-pixel line is lost when it shrinks: each
// target pixel takes the darkest source pixel it covers.
[[nodiscard]] QImage stretchKeepingInk(const QImage& source, QSize target);

} // namespace host
