// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// Toolkit settings the program needs before the application object exists.
#pragma once

#include <QByteArray>
#include <QStringView>
#include <optional>

namespace host {

// The platform to ask Qt for, given the user's QT_QPA_PLATFORM and DISPLAY; none to leave
// Qt's own choice.
[[nodiscard]] std::optional<QByteArray> defaultPlatform(const QByteArray& chosen,
                                                        const QByteArray& display);

// Whether Qt's platform of that name is its Wayland client ("wayland", "wayland-egl", ...).
[[nodiscard]] bool isWaylandPlatform(QStringView platformName);

// Call first thing in main(), before QApplication is made.
void prepareToolkit();

} // namespace host
