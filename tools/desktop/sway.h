// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// sway, the tiling compositor, headless; as nobody when the caller is root, which it refuses.
#pragma once

#include "family.h"

namespace desktop {

class Sway final : public Family {
public:
    Sway();

    [[nodiscard]] QString start(Servers& servers, const DesktopType& type,
                                QSize screen) const override;
    [[nodiscard]] bool sharesScratch() const override;
    // grim's picture of the output.
    [[nodiscard]] static QImage screenshot(const Servers& servers, QSize screen, qint64 pid);
    // A tile takes the size of its place: the window floats first.
    [[nodiscard]] static bool resize(const Servers& servers, qint64 pid, QSize size);
};

} // namespace desktop
