// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "host/dispatch/call_gate.h"

namespace host {

QString operationName(Operation op) {
    switch (op) {
    case Operation::Scale:
        return QStringLiteral("Scale");
    case Operation::Circle:
        return QStringLiteral("Circle");
    case Operation::Caption:
        return QStringLiteral("Caption");
    case Operation::BorderColor:
        return QStringLiteral("BorderColor");
    case Operation::Value:
        return QStringLiteral("Value");
    case Operation::Enabled:
        return QStringLiteral("Enabled");
    case Operation::MessageBox:
        return QStringLiteral("MsgBox");
    }
    return {};
}

void CallGate::check(Operation op, const QString& control) {
    if (m_interlude) {
        m_interlude();
    }
    if (m_recording) {
        m_calls.push_back({op, control});
    }
    if (m_observer) {
        m_observer({op, control});
    }
    if (!m_plan) {
        return;
    }
    const bool matches = (!m_plan->operation || *m_plan->operation == op) &&
                         (!m_plan->control || *m_plan->control == control);
    if (!matches) {
        return;
    }
    if (m_plan->skip > 0) {
        --m_plan->skip;
        return;
    }
    const ErrorCode code = m_plan->code;
    m_plan.reset(); // one failure per plan: the report must not repeat itself
    throw RuntimeError(code, control + QLatin1Char('.') + operationName(op));
}

void CallGate::failWhen(FaultPlan plan) {
    m_plan = std::move(plan);
}

void CallGate::startRecording() {
    m_calls.clear();
    m_recording = true;
}

} // namespace host
