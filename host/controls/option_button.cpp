// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "host/controls/option_button.h"

#include "host/controls/frame.h"
#include "host/dispatch/call_gate.h"

#include <QButtonGroup>
#include <QKeyEvent>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <algorithm>

namespace host {

OptionButton::OptionButton(const QString& name, Bgr background, CallGate& gate, Frame* frame)
    : QRadioButton(frame), m_gate(gate) {
    setObjectName(name);
    paintBackground(*this, background);
    frame->group()->addButton(this);
    connect(this, &QAbstractButton::toggled, this, [this](bool checked) {
        if (checked) {
            emit Click();
        }
    });
}

void OptionButton::keyPressEvent(QKeyEvent* event) {
    int step = 0;
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        step = -1;
        break;
    case Qt::Key_Right:
    case Qt::Key_Down:
        step = 1;
        break;
    default:
        break;
    }
    QButtonGroup* buttons = group();
    if (step == 0 || !buttons) {
        QRadioButton::keyPressEvent(event);
        return;
    }
    // In the order the user sees them, left to right, going round at either end. Qt's own
    // arrow handling stops at the ends and ignores Up and Down in a row.
    QList<QAbstractButton*> row = buttons->buttons();
    std::ranges::stable_sort(row, {}, [](const QAbstractButton* b) { return b->x(); });
    const auto count = row.size();
    const auto next = row.at((row.indexOf(this) + step + count) % count);
    next->setFocus(step < 0 ? Qt::BacktabFocusReason : Qt::TabFocusReason);
    next->click();
    event->accept();
}

bool OptionButton::hitButton(const QPoint& pos) const {
    return rect().contains(pos);
}

void OptionButton::setZoom(double zoom) {
    m_zoom = zoom;
    update();
}

void OptionButton::paintEvent(QPaintEvent* event) {
    if (m_zoom == 1.0) {
        QRadioButton::paintEvent(event);
        return;
    }
    // The style's own indicator, placed in the cell as at zoom 1, then enlarged about the corner.
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.rect = QRect(QPoint(), (QSizeF(size()) / m_zoom).toSize());
    const QRectF indicator =
        style()->subElementRect(QStyle::SE_RadioButtonIndicator, &option, this);
    option.rect = QRectF(indicator.topLeft() * m_zoom, indicator.size() * m_zoom).toRect();
    painter.drawPrimitive(QStyle::PE_IndicatorRadioButton, option);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = option.rect.adjusted(-1, -1, 1, 1);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

bool OptionButton::Value() const {
    m_gate.check(Operation::Value, objectName());
    return isChecked();
}

} // namespace host
