// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// Xvfb with a window manager: an X11 desktop.
#pragma once

#include "family.h"

#include <QProcessEnvironment>
#include <QStringList>

namespace desktop {

class Xvfb final : public Family {
public:
    struct Manager {
        QString program;
        QStringList args;
        QProcessEnvironment extra; // added to the desktop's environment for it alone
        bool sessionBus = false;   // whether it needs one to come up
    };

    explicit Xvfb(Manager manager);

    [[nodiscard]] QString start(Servers& servers, const DesktopType& type,
                                QSize screen) const override;

private:
    Manager m_manager;
};

} // namespace desktop
