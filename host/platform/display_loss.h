// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// Says which display the program lost when its display server or compositor goes away, in place
// of the toolkit's guess at the cause.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace host {

// The line for one of the toolkit's messages that report a lost connection, naming the display
// from the environment the program started in; nothing for any other message.
[[nodiscard]] std::optional<QString> lostDisplayLine(const QString& toolkitMessage,
                                                     const QString& program,
                                                     const QByteArray& xDisplay,
                                                     const QByteArray& waylandDisplay);

// From now on such messages print that line, and so does Xlib once the application connects;
// every other message goes where it went before. A write to a display that went fails instead of
// ending the process by a signal. Called before the application exists.
void nameLostDisplays();

} // namespace host
