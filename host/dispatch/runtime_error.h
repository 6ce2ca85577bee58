// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// The run-time error that ends a handler at the failing call, with its number and Russian text.
#pragma once

#include <QString>
#include <stdexcept>

namespace host {

enum class ErrorCode : int {
    InvalidCall = 5,
    Overflow = 6,
};

class RuntimeError : public std::runtime_error {
public:
    RuntimeError(ErrorCode code, QString detail = {});

    [[nodiscard]] ErrorCode code() const { return m_code; }
    [[nodiscard]] int number() const { return static_cast<int>(m_code); }
    // The Russian description shown to the user.
    [[nodiscard]] QString description() const;

private:
    ErrorCode m_code;
    QString m_detail;
};

[[nodiscard]] QString describe(ErrorCode code);

} // namespace host
