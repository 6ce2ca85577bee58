// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// How a label places its caption: shared by the window description and the label widget.
#pragma once

namespace host {

enum class Alignment { Left, Centre };

} // namespace host
