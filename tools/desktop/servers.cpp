// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "servers.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QThread>
#include <csignal>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace desktop {

namespace {

QString lastLines(const QString& path, int count = 8) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return u"  (no log)"_s;
    }
    QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    lines = lines.mid(std::max<qsizetype>(0, lines.size() - count));
    return lines.isEmpty() ? u"  (an empty log)"_s : u"  "_s + lines.join(u"\n  "_s);
}

void stopProcess(QProcess& process) {
    process.terminate();
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished(3000);
    }
}

} // namespace

bool waitUntil(const std::function<bool()>& done, int timeoutMs, int pollMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs) {
            return false;
        }
        QThread::msleep(static_cast<unsigned long>(pollMs));
    }
    return true;
}

QStringList words(const QString& line) {
    return line.split(u' ', Qt::SkipEmptyParts);
}

Servers::Servers(const QString& scratchTemplate)
    : m_scratch(scratchTemplate), m_env(QProcessEnvironment::systemEnvironment()) {}

Servers::~Servers() {
    stop();
}

void Servers::setPatience(int timeoutMs, std::function<bool()> givenUp) {
    m_timeoutMs = timeoutMs;
    m_givenUp = std::move(givenUp);
}

bool Servers::await(const std::function<bool()>& done, int pollMs) const {
    return waitUntil([&] { return done() || (m_givenUp && m_givenUp()); }, m_timeoutMs, pollMs) &&
           !(m_givenUp && m_givenUp());
}

void Servers::stop() {
    if (m_readyPid > 0) {
        ::kill(m_readyPid, SIGKILL);
        m_readyPid = 0;
    }
    while (!m_servers.empty()) {
        stopProcess(*m_servers.back().process);
        m_servers.pop_back();
    }
    m_displayServer = nullptr;
}

bool Servers::running() const {
    // A process's state changes only once it is waited for: asked here without reaping it.
    return !m_servers.empty() && std::ranges::all_of(m_servers, [](const Server& server) {
        siginfo_t ended{};
        return server.process->state() == QProcess::Running &&
               ::waitid(P_PID, static_cast<id_t>(server.process->processId()), &ended,
                        WEXITED | WNOHANG | WNOWAIT) == 0 &&
               ended.si_pid == 0;
    });
}

QList<qint64> Servers::processIds() const {
    QList<qint64> ids;
    for (const Server& server : m_servers) {
        ids << server.process->processId();
    }
    return ids;
}

ToolResult Servers::run(const QString& program, const QStringList& args, int timeoutMs) const {
    QProcess process;
    process.setProcessEnvironment(m_env);
    process.setWorkingDirectory(m_scratch.path());
    process.start(program, args);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return {-1, {}, program + u" did not finish"_s};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()).trimmed(),
            QString::fromUtf8(process.readAllStandardError()).trimmed()};
}

QProcess& Servers::start(const QString& program, const QStringList& args, const QString& name,
                         const QProcessEnvironment& extra, bool readOutput) {
    auto process = std::make_unique<QProcess>();
    // A session of its own: a terminal's Ctrl+C or hang-up reaches the program in the desktop,
    // which then ends before its display does.
    process->setChildProcessModifier([] {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        ::setsid();
    });
    QProcessEnvironment env = m_env;
    env.insert(extra);
    process->setProcessEnvironment(env);
    process->setWorkingDirectory(m_scratch.path());
    const QString log = m_scratch.filePath(name + u".log"_s);
    process->setProcessChannelMode(readOutput ? QProcess::SeparateChannels
                                              : QProcess::MergedChannels);
    if (readOutput) {
        process->setStandardErrorFile(log, QIODevice::Append);
    } else {
        process->setStandardOutputFile(log, QIODevice::Append);
    }
    process->start(program, args);
    process->waitForStarted(5000);
    m_servers.push_back({std::move(process), log});
    return *m_servers.back().process;
}

QString Servers::notUp(const QProcess& server, const QString& what) const {
    if (m_givenUp && m_givenUp()) {
        return u"given up while %1 was starting"_s.arg(server.program());
    }
    const auto kept = std::ranges::find_if(
        m_servers, [&](const Server& each) { return each.process.get() == &server; });
    return u"%1 %2 in %3 s; the last lines of its log:\n%4"_s
        .arg(QFileInfo(server.program()).fileName(), what)
        .arg(m_timeoutMs / 1000)
        .arg(lastLines(kept == m_servers.end() ? QString() : kept->log));
}

// Run by a compositor once it is ready: notes the display it gives its programs, then stays as
// long as the compositor (mutter ends when its program ends).
QString Servers::readyScript() const {
    QString path = m_scratch.filePath(u"ready.sh"_s);
    QFile script(path);
    if (!script.exists() && script.open(QIODevice::WriteOnly)) {
        script.write(
            "#!/bin/sh\n"
            "{ env | grep -E '^(DISPLAY|WAYLAND_DISPLAY|XAUTHORITY)='; echo READY_PID=$$; }"
            " >\"$READY_FILE.part\"\n"
            "mv \"$READY_FILE.part\" \"$READY_FILE\"\n"
            "while kill -0 $PPID 2>/dev/null; do sleep 1; done\n");
        script.close();
        ::chmod(qPrintable(path), 0755);
    }
    return path;
}

QString Servers::awaitReady(QProcess& compositor, const QString& readyFile, bool wantsX) {
    m_displayServer = &compositor;
    QFile ready(readyFile);
    if (!await([&] { return ready.exists() || compositor.state() != QProcess::Running; }) ||
        !ready.open(QIODevice::ReadOnly)) {
        return notUp(compositor, u"never got ready"_s);
    }
    for (const QByteArray& line : ready.readAll().split('\n')) {
        const QString text = QString::fromUtf8(line);
        if (text.startsWith(u"READY_PID="_s)) {
            m_readyPid = text.section(u'=', 1).toInt();
        } else if (!text.section(u'=', 1).isEmpty()) {
            m_env.insert(text.section(u'=', 0, 0), text.section(u'=', 1));
        }
    }
    return !wantsX || m_env.contains(u"DISPLAY"_s) ? QString()
                                                   : notUp(compositor, u"started no X server"_s);
}

QString Servers::startSessionBus() {
    if (m_sessionBus) {
        return {};
    }
    QProcess& bus = start(u"dbus-daemon"_s, {"--session", "--nofork", "--print-address=1"},
                          u"dbus-daemon"_s, {}, true);
    QString address;
    static_cast<void>(await([&] {
        bus.waitForReadyRead(50);
        address = QRegularExpression(u"^(\\S+)\\n"_s)
                      .match(QString::fromUtf8(bus.peek(4096)))
                      .captured(1);
        return !address.isEmpty() || bus.state() == QProcess::NotRunning;
    }));
    if (address.isEmpty()) {
        return notUp(bus, u"gave no session bus"_s);
    }
    m_env.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, address);
    m_sessionBus = true;
    return {};
}

} // namespace desktop
