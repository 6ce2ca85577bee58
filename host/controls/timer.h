// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// A timer whose ticks never overlap a handler, are never stored up, and let waiting input go first.
#pragma once

#include <QObject>
#include <QTimer>

namespace host {

class CallGate;
class Dispatcher;

class Timer : public QObject {
    Q_OBJECT

public:
    Timer(const QString& name, int intervalMs, CallGate& gate, Dispatcher& dispatcher,
          QObject* parent);

    void setEnabled(bool enabled);
    [[nodiscard]] bool isEnabled() const { return m_enabled; }
    [[nodiscard]] int interval() const { return m_interval; }

    // Stops ticking for good, without a handler: the window is closing.
    void shutDown();

signals:
    void tick();

private:
    void fire();
    void arm();

    CallGate& m_gate;
    Dispatcher& m_dispatcher;
    QTimer m_timer;
    int m_interval;
    bool m_enabled = false;
    bool m_waitingForIdle = false;
};

} // namespace host
