// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// The modal message box the program shows, by style code as the program's handlers give it.
#pragma once

#include <QString>

class QWidget;

namespace host {

class CallGate;

inline constexpr int styleInformation = 64;

// Shows the box and returns when the user has closed it.
void MsgBox(CallGate& gate, QWidget* parent, const QString& prompt, int style,
            const QString& title);

} // namespace host
