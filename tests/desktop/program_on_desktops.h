// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// The installed program on the desktops of the desktop tool's table, and what the desktop tests
// do with it: its start as a teacher's menu starts it, the design on the screen, orbit 6 chosen
// through the reader's bus and, on X, the notice.
#pragma once

#include "desktop_probes.h"

#include <QObject>
#include <QProcess>
#include <QTemporaryDir>
#include <functional>
#include <memory>

using desktop::Desktop;

#ifdef LUMERA_SANITIZE
inline constexpr bool sanitized = true;
#else
inline constexpr bool sanitized = false;
#endif

// The first desktop of the table with `property`; without one, the default desktop.
const desktop::DesktopType&
firstDesktop(const std::function<bool(const desktop::DesktopType&)>& property = {});
[[nodiscard]] inline bool waylandAlone(const desktop::DesktopType& type) {
    return type.session == desktop::Session::WaylandAlone;
}

class ProgramOnDesktops : public QObject {
    Q_OBJECT

private slots:
    // Installs the build into a prefix of its own, as a package would.
    void initTestCase();

protected:
    // The columns desktopName and screenSize, and a row for each desktop the tests visit.
    static void addDesktopRows();

    [[nodiscard]] std::unique_ptr<QProcess> start(const Desktop& screen, QProcessEnvironment extra,
                                                  QProcess::ProcessChannelMode channels,
                                                  const QStringList& unset = {}) const;
    // The desktop and its accessibility bus started, then the program in it as a teacher runs it,
    // a reader on the bus; null, the test failed, when the desktop would not start.
    [[nodiscard]] std::unique_ptr<QProcess> startWithReader(Desktop& screen) const;
    std::optional<SeenLayout> checkLayout(const Desktop& screen, qint64 pid, QSize before);
    void chooseOrbit6(const Desktop& screen, qint64 pid, const std::optional<SeenLayout>& seen);
    void xWindowAndNotice(const Desktop& screen, qint64 pid, const atom::Area& area);

private:
    QTemporaryDir m_prefix;
    QString m_program;
};
