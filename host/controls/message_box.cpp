// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "host/controls/message_box.h"

#include "host/dispatch/call_gate.h"

#include <QMessageBox>

namespace host {

namespace {

QMessageBox::Icon iconFor(int style) {
    switch (style & 0x70) {
    case 16:
        return QMessageBox::Critical;
    case 32:
        return QMessageBox::Question;
    case 48:
        return QMessageBox::Warning;
    case 64:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

void MsgBox(CallGate& gate, QWidget* parent, const QString& prompt, int style,
            const QString& title) {
    gate.check(Operation::MessageBox, title);
    // Only the OK-button styles are used by the program.
    QMessageBox box(iconFor(style), title, prompt, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("MsgBox"));
    box.exec();
}

} // namespace host
