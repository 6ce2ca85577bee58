// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "host/controls/frame.h"

#include <QButtonGroup>
#include <QPalette>

namespace host {

void paintBackground(QWidget& widget, Bgr background) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, toQColor(background));
    palette.setColor(QPalette::Button, toQColor(background));
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

Frame::Frame(const QString& name, Bgr background, QWidget* parent)
    : QWidget(parent), m_group(new QButtonGroup(this)) {
    setObjectName(name);
    m_group->setExclusive(true);
    paintBackground(*this, background);
}

} // namespace host
