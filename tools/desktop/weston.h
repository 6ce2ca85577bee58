// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// weston, headless, with its desktop shell: Wayland's reference compositor.
#pragma once

#include "family.h"

namespace desktop {

class Weston final : public Family {
public:
    Weston();

    [[nodiscard]] QString start(Servers& servers, const DesktopType& type,
                                QSize screen) const override;
    // The compositor's own picture of its output, as the user sees it.
    [[nodiscard]] static QImage screenshot(const Servers& servers, QSize screen, qint64 pid);
};

} // namespace desktop
