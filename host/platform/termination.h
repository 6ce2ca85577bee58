// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// Ends the program the way its window's close button does when the session asks it to stop.
#pragma once

class QWidget;

namespace host {

// On SIGTERM, SIGINT or SIGHUP (logout, a terminal's Ctrl+C or hang-up), and on Windows at the
// session's end (WM_ENDSESSION), the window is closed after any running handler: the program
// ends with status 0, as when the user closes it.
void closeOnTermination(QWidget& window);

} // namespace host
