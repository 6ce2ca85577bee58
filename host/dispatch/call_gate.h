// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// The single door every control call passes: it lets a test make any call fail or log the calls.
#pragma once

#include "host/dispatch/runtime_error.h"

#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace host {

enum class Operation {
    Scale,
    Circle,
    Caption,
    BorderColor,
    Value,
    Enabled,
    MessageBox,
};

[[nodiscard]] QString operationName(Operation op);

struct CallRecord {
    Operation operation;
    QString control;

    friend bool operator==(const CallRecord&, const CallRecord&) = default;
};

// Which call to fail: the first call matching the filters after `skip` matching calls went through.
struct FaultPlan {
    std::optional<Operation> operation{};
    std::optional<QString> control{};
    int skip = 0;
    ErrorCode code = ErrorCode::InvalidCall;
};

class CallGate {
public:
    // Raises the planned run-time error when this call is the one to fail.
    void check(Operation op, const QString& control);

    void failWhen(FaultPlan plan);

    // Called before each call is let through or failed; lets a test act in the middle of a handler.
    void setObserver(std::function<void(const CallRecord&)> observer) {
        m_observer = std::move(observer);
    }

    // Runs at every call, before anything else: serves what cannot wait for a long handler's end.
    void setInterlude(std::function<void()> interlude) { m_interlude = std::move(interlude); }

    void startRecording();
    [[nodiscard]] const std::vector<CallRecord>& calls() const { return m_calls; }

private:
    std::optional<FaultPlan> m_plan;
    bool m_recording = false;
    std::vector<CallRecord> m_calls;
    std::function<void(const CallRecord&)> m_observer;
    std::function<void()> m_interlude;
};

} // namespace host
