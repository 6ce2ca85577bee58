// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// A widget's area on a compositor surface of its own, kept over the widget: a frame of it copies
// that area's pixels, not the whole window's.
#pragma once

#include <QBackingStore>
#include <QRegion>
#include <QWindow>

class QWidget;

namespace host {

class CompositorLayer : public QWindow {
    Q_OBJECT

public:
    // Put over `source`, whose size it follows and whose pixels (children included) it shows.
    explicit CompositorLayer(QWidget* source);

    // `rect` of the source changed; it is shown at the next flush, or once the event loop runs.
    void markChanged(const QRect& rect);
    // Renders what changed since the last flush and hands it to the compositor.
    void flush();

protected:
    bool event(QEvent* event) override;
    void exposeEvent(QExposeEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    [[nodiscard]] bool shown() const;

    QWidget* m_source;
    QWidget* m_container;
    QBackingStore m_store;
    QRegion m_pending;
    bool m_rendering = false;
};

} // namespace host
