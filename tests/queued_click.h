// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// A left click queued the way outside input arrives: handled when the event loop next runs.
#pragma once

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>

// Safe to call from another thread: it only posts events.
inline void queueClick(QWidget& target, QPointF at = QPointF(8, 8)) {
    const QPointF global = target.mapToGlobal(at);
    QCoreApplication::postEvent(&target,
                                new QMouseEvent(QEvent::MouseButtonPress, at, global,
                                                Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(&target,
                                new QMouseEvent(QEvent::MouseButtonRelease, at, global,
                                                Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
}
