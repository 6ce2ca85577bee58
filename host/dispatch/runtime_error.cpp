// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "host/dispatch/runtime_error.h"

namespace host {

QString describe(ErrorCode code) {
    switch (code) {
    case ErrorCode::InvalidCall:
        return QStringLiteral("Недопустимый вызов процедуры или аргумент");
    case ErrorCode::Overflow:
        return QStringLiteral("Переполнение");
    }
    return QStringLiteral("Неизвестная ошибка");
}

RuntimeError::RuntimeError(ErrorCode code, QString detail)
    : std::runtime_error(describe(code).toStdString()), m_code(code), m_detail(std::move(detail)) {}

QString RuntimeError::description() const {
    if (m_detail.isEmpty()) {
        return describe(m_code);
    }
    return describe(m_code) + QStringLiteral(" (") + m_detail + QStringLiteral(")");
}

} // namespace host
