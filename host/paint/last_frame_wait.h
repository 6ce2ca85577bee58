// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// Holds a closing window until the compositor has answered the last frame of each of its surfaces.
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWindow>

class QWidget;

namespace host {

class LastFrameWait : public QObject {
    Q_OBJECT

public:
    // For a window whose frames a compositor answers, one by one (Wayland).
    explicit LastFrameWait(QWidget* window);

    // Whether the window may close now. If not, the wait begins, nothing more is drawn, and the
    // window is closed again once every answer came (or could not be waited for any longer).
    [[nodiscard]] bool settled();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void finish();

    QWidget* m_window;
    // The surfaces whose last frame is still unanswered.
    QList<QPointer<QWindow>> m_unanswered;
    QTimer m_bound;
    bool m_waiting = false;
    bool m_settled = false;
};

} // namespace host
