// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "host/controls/timer.h"

#include "host/dispatch/call_gate.h"
#include "host/dispatch/dispatcher.h"

namespace host {

Timer::Timer(const QString& name, int intervalMs, CallGate& gate, Dispatcher& dispatcher,
             QObject* parent)
    : QObject(parent), m_gate(gate), m_dispatcher(dispatcher), m_interval(intervalMs) {
    setObjectName(name);
    // Single-shot, re-armed after each tick: at most one tick is ever pending, and a full
    // interval after a long handler lets the input that waited be handled first.
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &Timer::fire);
    connect(&m_dispatcher, &Dispatcher::idle, this, [this] {
        if (m_waitingForIdle) {
            m_waitingForIdle = false;
            arm();
        }
    });
}

void Timer::setEnabled(bool enabled) {
    m_gate.check(Operation::Enabled, objectName());
    if (enabled == m_enabled) {
        return;
    }
    m_enabled = enabled;
    if (enabled) {
        arm();
    } else {
        m_timer.stop();
        m_waitingForIdle = false;
    }
}

void Timer::shutDown() {
    m_enabled = false;
    m_waitingForIdle = false;
    m_timer.stop();
}

void Timer::arm() {
    if (m_enabled && !m_timer.isActive()) {
        m_timer.start(m_interval);
    }
}

void Timer::fire() {
    if (!m_enabled || m_dispatcher.stopped()) {
        return;
    }
    if (m_dispatcher.busy()) {
        // A handler is still running (behind a modal box): tick once it has returned.
        m_waitingForIdle = true;
        return;
    }
    emit tick();
    arm();
}

} // namespace host
