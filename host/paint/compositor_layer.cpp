// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "host/paint/compositor_layer.h"

#include <QExposeEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QWidget>

namespace host {

// Qt 6.4's Wayland backing store copies the whole previous buffer into the next one before each
// paint when the compositor still holds the last (as pixman compositors do until a new one
// comes): 8 MB a frame for a full-HD window, most of the program's time. A child window is a
// subsurface with a backing store of its own, so a frame copies only this area.
CompositorLayer::CompositorLayer(QWidget* source)
    : m_source(source), m_container(QWidget::createWindowContainer(this, source)), m_store(this) {
    // Clicks and keys go through to the widget underneath, as if the layer were not there.
    setFlag(Qt::WindowTransparentForInput);
    m_container->setFocusPolicy(Qt::NoFocus);
    m_container->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_container->setGeometry(source->rect());
    if (source->isVisible()) {
        m_container->show();
    }
    source->installEventFilter(this);
}

void CompositorLayer::markChanged(const QRect& rect) {
    const bool first = m_pending.isEmpty();
    m_pending |= rect & QRect(QPoint(), m_source->size());
    if (first && !m_pending.isEmpty()) {
        requestUpdate();
    }
}

void CompositorLayer::flush() {
    if (m_pending.isEmpty() || !shown()) {
        return;
    }
    if (m_store.size() != size()) {
        // Made while the window was up: its first resize event may not have come yet.
        m_store.resize(size());
        m_pending = QRect(QPoint(), size());
    }
    const QRegion region = m_pending;
    m_pending = QRegion();
    m_store.beginPaint(region);
    {
        QPainter painter(m_store.paintDevice());
        m_rendering = true;
        m_source->render(&painter, region.boundingRect().topLeft(), region, QWidget::DrawChildren);
        m_rendering = false;
    }
    m_store.endPaint();
    m_store.flush(region);
}

bool CompositorLayer::shown() const {
    // Qt 6.4 tells a child surface made before its window's first configure that it is hidden,
    // and nothing later that it is shown: it is shown whenever the window is.
    return isVisible() && (isExposed() || (parent() != nullptr && parent()->isExposed()));
}

bool CompositorLayer::event(QEvent* event) {
    if (event->type() == QEvent::UpdateRequest) {
        flush();
        return true;
    }
    return QWindow::event(event);
}

void CompositorLayer::exposeEvent(QExposeEvent*) {
    if (isExposed()) {
        markChanged(m_source->rect());
        flush();
    }
}

void CompositorLayer::resizeEvent(QResizeEvent* event) {
    m_store.resize(event->size());
    m_pending = QRegion();
    markChanged(QRect(QPoint(), event->size()));
}

bool CompositorLayer::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_source) {
        if (event->type() == QEvent::Resize) {
            m_container->setGeometry(m_source->rect());
        } else if (event->type() == QEvent::Paint && !m_rendering) {
            // Whatever the window repaints underneath (a child's change, a new zoom) is shown
            // here too.
            markChanged(static_cast<QPaintEvent*>(event)->rect());
        }
    }
    return QWindow::eventFilter(watched, event);
}

} // namespace host
