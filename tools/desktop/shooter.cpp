// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "shooter.h"

using namespace Qt::StringLiterals;

namespace desktop {

namespace {

// Often enough to catch what shows only part of the time, seldom enough to leave the desktop
// most of the machine.
constexpr qint64 retakeMs = 200;
// A check that hangs is a refusal, not the end of the wait.
constexpr int checkMs = 10000;

} // namespace

Shooter::Shooter(QString file, QString check, qint64 afterMs, qint64 patienceMs)
    : m_file(std::move(file)), m_check(std::move(check)), m_nextMs(afterMs),
      m_patienceMs(patienceMs), m_giveUpMs(afterMs + patienceMs) {}

std::optional<QString> Shooter::take(const Desktop& screen, qint64 pid, qint64 elapsedMs) {
    const QImage shot = screen.screenshot(pid);
    if (shot.isNull()) {
        return u"no screenshot of %1"_s.arg(screen.type().name);
    }
    if (!shot.save(m_file)) {
        return u"cannot write %1"_s.arg(m_file);
    }
    if (m_check.isEmpty()) {
        return QString();
    }
    ++m_taken;
    const QString refused = refusal();
    if (refused.isEmpty()) {
        return QString();
    }
    if (elapsedMs >= m_giveUpMs) {
        return u"%1 accepted none of %2 screenshots in %3 s; of the last it said: %4"_s.arg(m_check)
            .arg(m_taken)
            .arg(double(m_patienceMs) / 1000)
            .arg(refused);
    }
    m_nextMs = elapsedMs + retakeMs;
    return std::nullopt;
}

QString Shooter::refusal() const {
    QProcess check;
    check.start(m_check, {m_file});
    if (!check.waitForFinished(checkMs)) {
        QString why = check.error() == QProcess::FailedToStart
                          ? check.errorString()
                          : u"no answer in %1 s"_s.arg(checkMs / 1000);
        check.kill();
        check.waitForFinished();
        return why;
    }
    if (check.exitStatus() == QProcess::NormalExit && check.exitCode() == 0) {
        return {};
    }
    const QString said = QString::fromLocal8Bit(check.readAllStandardError()).trimmed();
    return said.isEmpty() ? u"status %1, nothing said"_s.arg(check.exitCode())
                          : said.section(u'\n', -1);
}

} // namespace desktop
