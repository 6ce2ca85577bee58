// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// The real program on the desktops people run (see test_desktops.cpp): the test's class, its
// functions spread over a file for each thing it tests.
#pragma once

#include "desktop_probes.h"

#include <QObject>
#include <QProcess>
#include <QTemporaryDir>
#include <functional>
#include <memory>

using desktop::Desktop;

// The first desktop of the table with `property`; without one, the default desktop.
const desktop::DesktopType&
firstDesktop(const std::function<bool(const desktop::DesktopType&)>& property = {});
[[nodiscard]] inline bool waylandAlone(const desktop::DesktopType& type) {
    return type.session == desktop::Session::WaylandAlone;
}

class DesktopsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void onEachDesktop_data();
    void onEachDesktop();
    void endsAsPromised_data();
    void endsAsPromised();
    void runsInAnySession_data();
    void runsInAnySession();

private:
    [[nodiscard]] std::unique_ptr<QProcess> start(const Desktop& screen, QProcessEnvironment extra,
                                                  QProcess::ProcessChannelMode channels,
                                                  const QStringList& unset = {}) const;
    std::optional<SeenLayout> checkLayout(const Desktop& screen, qint64 pid, QSize before);
    void chooseOrbit6(const Desktop& screen, qint64 pid, const std::optional<SeenLayout>& seen);
    void xWindowAndNotice(const Desktop& screen, qint64 pid, const atom::Area& area);
    void orcaReadsTheWindow(const Desktop& screen);
    void soak(const Desktop& screen, QProcess& program, const std::optional<SeenLayout>& seen,
              bool xInput);

    QTemporaryDir m_prefix;
    QString m_program;
};
