// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// KDE's compositor, KWin, on a virtual output.
#pragma once

#include "family.h"

namespace desktop {

class Kwin final : public Family {
public:
    Kwin();

    [[nodiscard]] QString start(Servers& servers, const DesktopType& type,
                                QSize screen) const override;
    // KWin's own picture of its screen, asked for on its session bus.
    [[nodiscard]] static QImage screenshot(const Servers& servers, QSize screen, qint64 pid);
};

} // namespace desktop
