// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "host/controls/label.h"

#include "host/dispatch/call_gate.h"
#include "host/paint/screen_pacer.h"
#include "host/screen/superscript_text.h"

#include <QAccessible>
#include <QMouseEvent>
#include <QPainter>

namespace host {

Label::Label(const QString& name, const FontSpec& font, CallGate& gate, QWidget* parent,
             ScreenPacer* pacer)
    : QWidget(parent), m_gate(gate), m_pacer(pacer), m_fontSpec(font) {
    setObjectName(name);
    setFont(toQFont(font));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Label::setCaption(const QString& caption) {
    m_gate.check(Operation::Caption, objectName());
    beforeChange(m_pacer);
    m_caption = caption;
    // A screen reader following the value hears the new one.
    QAccessibleEvent changed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
    emit captionChanged();
    // Shown while a handler may still hold the thread for a long time.
    showChange(m_pacer, this, rect());
}

QString Label::shownText() const {
    return m_fontSpec.charset == Charset::Symbol ? symbolText(m_caption) : m_caption;
}

void Label::setColours(Bgr fore, Bgr back) {
    m_fore = fore;
    m_back = back;
}

int Label::textFlags() const {
    const int horizontal = m_alignment == Alignment::Centre ? Qt::AlignHCenter : Qt::AlignLeft;
    return horizontal | Qt::AlignTop | Qt::TextWordWrap;
}

int Label::textTop() const {
    const QFontMetrics metrics(font());
    return std::max(0, -(metrics.ascent() + SuperscriptText(shownText(), font()).ink().top()));
}

void Label::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), toQColor(m_back));
    painter.setClipRect(rect());
    painter.setPen(toQColor(m_fore));
    const SuperscriptText text(shownText(), font());
    if (!text.hasSuperscript()) {
        painter.drawText(rect().adjusted(0, textTop(), 0, 0), textFlags(), shownText());
        return;
    }
    // One line, placed as the toolkit places plain text.
    const int spare = m_alignment == Alignment::Centre ? width() - text.advance() : 0;
    text.draw(painter, QPoint(spare / 2, textTop() + QFontMetrics(font()).ascent()));
}

void Label::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        emit doubleClicked();
    }
    QWidget::mouseDoubleClickEvent(event);
}

} // namespace host
