// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// Lets the toolkit's display threads settle before the toolkit stops them, at the program's end.
#pragma once

namespace host {

// Once the event loop has ended, before the application object goes.
void settleDisplayThreads();

} // namespace host
