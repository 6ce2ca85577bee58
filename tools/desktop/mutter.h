// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// GNOME's compositor, mutter, headless on a virtual monitor.
#pragma once

#include "family.h"

namespace desktop {

class Mutter final : public Family {
public:
    Mutter();

    [[nodiscard]] QString start(Servers& servers, const DesktopType& type,
                                QSize screen) const override;
};

} // namespace desktop
