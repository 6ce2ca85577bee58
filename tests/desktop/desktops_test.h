// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// The real program on the desktops people run (see test_desktops.cpp): the test's class, its
// functions spread over a file for each thing it tests.
#pragma once

#include "program_on_desktops.h"

class DesktopsTest : public ProgramOnDesktops {
    Q_OBJECT

private slots:
    void onEachDesktop_data();
    void onEachDesktop();
    void endsAsPromised_data();
    void endsAsPromised();
    void runsInAnySession_data();
    void runsInAnySession();

private:
    void orcaReadsTheWindow(const Desktop& screen);
};
