// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// A family of desktops that start alike: an X server with a window manager, or one Wayland
// compositor, with XWayland or without.
#pragma once

#include "desktops.h"

#include <QSize>
#include <QString>

namespace desktop {

class Servers;

class Family {
public:
    explicit Family(QString name) : m_name(std::move(name)) {}
    Family(const Family&) = delete;
    Family& operator=(const Family&) = delete;
    Family(Family&&) = delete;
    Family& operator=(Family&&) = delete;
    virtual ~Family() = default;

    // As `desktop-run --list --tsv` prints it.
    [[nodiscard]] const QString& name() const { return m_name; }
    // Starts the display server of `type` at `screen`, and whatever it needs beside, in
    // `servers`; empty when all is well, else what failed.
    [[nodiscard]] virtual QString start(Servers& servers, const DesktopType& type,
                                        QSize screen) const = 0;
    // Whether its scratch directory must be one that another user (sway's, when the caller is
    // root) can reach.
    [[nodiscard]] virtual bool sharesScratch() const { return false; }

private:
    QString m_name;
};

} // namespace desktop
