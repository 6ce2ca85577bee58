// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "xvfb.h"

#include "servers.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace desktop {

Xvfb::Xvfb(Manager manager) : Family(u"xvfb"_s), m_manager(std::move(manager)) {}

QString Xvfb::start(Servers& servers, const DesktopType& /*type*/, QSize screen) const {
    // Xvfb picks a free display itself and writes its number to the descriptor we give it. It
    // must not reset when its last client leaves: a window manager slow to come up would find
    // the display gone for a moment, after an early `wmctrl -m` had come and gone.
    const QString size = u"%1x%2x24"_s.arg(screen.width()).arg(screen.height());
    QProcess& xvfb = servers.start(
        u"Xvfb"_s, {"-displayfd", "1", "-screen", "0", size, "-nolisten", "tcp", "-noreset"},
        u"Xvfb"_s, {}, true);
    QString number;
    static_cast<void>(servers.await([&] {
        xvfb.waitForReadyRead(50);
        number =
            QRegularExpression(u"^(\\d+)\\n"_s).match(QString::fromUtf8(xvfb.peek(64))).captured(1);
        return !number.isEmpty() || xvfb.state() == QProcess::NotRunning;
    }));
    if (number.isEmpty()) {
        return servers.notUp(xvfb, u"never said which display it took"_s);
    }
    servers.setDisplayServer(xvfb);
    servers.env().insert(u"DISPLAY"_s, u":"_s + number);
    if (m_manager.sessionBus) {
        if (QString failed = servers.startSessionBus(); !failed.isEmpty()) {
            return failed;
        }
    }
    QProcess& wm =
        servers.start(m_manager.program, m_manager.args, m_manager.program, m_manager.extra);
    // On a machine busy building, a window manager can take seconds to come up.
    const bool managing = servers.await(
        [&] {
            return wm.state() == QProcess::Running &&
                   servers.run(u"wmctrl"_s, {"-m"}).exitCode == 0;
        },
        200);
    return managing ? QString() : servers.notUp(wm, u"never managed the screen"_s);
}

} // namespace desktop
