// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// desktop-run's screenshot: taken once, or retaken until a check accepts what it shows.
#pragma once

#include "desktop.h"

#include <optional>

namespace desktop {

class Shooter {
public:
    // Saves the screen to `file` once `afterMs` passed; with a `check`, again and again until
    // `check FILE` exits 0, for up to `patienceMs` more.
    Shooter(QString file, QString check, qint64 afterMs, qint64 patienceMs);

    [[nodiscard]] bool due(qint64 elapsedMs) const { return elapsedMs >= m_nextMs; }
    // Takes a screenshot of the desktop or of the program `pid` (see Desktop::screenshot). What it
    // came to: empty when saved and accepted, else why there is no picture; nothing while another
    // is to be taken.
    [[nodiscard]] std::optional<QString> take(const Desktop& screen, qint64 pid, qint64 elapsedMs);

private:
    // Empty when the check accepts the picture, else what it said of it.
    [[nodiscard]] QString refusal() const;

    QString m_file;
    QString m_check;
    qint64 m_nextMs;
    qint64 m_patienceMs;
    qint64 m_giveUpMs;
    int m_taken = 0;
};

} // namespace desktop
