// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// Leaves window decorations to a Wayland compositor that draws them itself, so that the toolkit
// does not load its OpenGL client for a window that never uses it.
#pragma once

#include <QByteArray>
#include <QByteArrayList>

namespace host {

// What the toolkit is told, given the globals the compositor advertises and the user's own
// settings: whether to leave decorations to it (QT_WAYLAND_DISABLE_WINDOWDECORATION=1).
[[nodiscard]] bool leaveDecorationsToCompositor(const QByteArrayList& globals,
                                                const QByteArray& userIntegration,
                                                const QByteArray& userDecorationChoice);

// The interfaces the Wayland compositor of this session advertises; empty when there is none to
// ask, or the program was built without the Wayland client library.
[[nodiscard]] QByteArrayList waylandGlobals();

} // namespace host
