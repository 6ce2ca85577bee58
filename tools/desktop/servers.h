// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// The programs a desktop runs (its display server, window manager and buses), each logging to
// its scratch directory, and the environment they give whatever runs in the desktop.
#pragma once

#include <QProcess>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <vector>

namespace desktop {

struct ToolResult {
    int exitCode = -1;
    QString out;
    QString err;
};

// Polls until `done` holds or `timeoutMs` passes.
bool waitUntil(const std::function<bool()>& done, int timeoutMs, int pollMs = 100);

// A command's words, from one line.
[[nodiscard]] QStringList words(const QString& line);

class Servers {
public:
    // Its scratch directory made from `scratchTemplate`; the environment, at first, the caller's.
    explicit Servers(const QString& scratchTemplate);
    ~Servers();
    Servers(const Servers&) = delete;
    Servers& operator=(const Servers&) = delete;
    Servers(Servers&&) = delete;
    Servers& operator=(Servers&&) = delete;

    void setPatience(int timeoutMs, std::function<bool()> givenUp);

    [[nodiscard]] const QTemporaryDir& scratch() const { return m_scratch; }
    [[nodiscard]] QProcessEnvironment& env() { return m_env; }
    [[nodiscard]] const QProcessEnvironment& env() const { return m_env; }

    // Starts one of the desktop's programs, its output to a log of its own; `readOutput` keeps
    // its standard output to be read instead.
    QProcess& start(const QString& program, const QStringList& args, const QString& name,
                    const QProcessEnvironment& extra = {}, bool readOutput = false);
    // Whether `done` came to hold before the patience ran out or the start was given up.
    [[nodiscard]] bool await(const std::function<bool()>& done, int pollMs = 100) const;
    // Why `server` is not of use: it `what`, with the last lines of its log.
    [[nodiscard]] QString notUp(const QProcess& server, const QString& what) const;
    // A session bus of the desktop's own, started once.
    [[nodiscard]] QString startSessionBus();
    // The script a compositor runs once it is ready, with READY_FILE in its environment.
    [[nodiscard]] QString readyScript() const;
    // Waits for a compositor that runs the ready script once it is ready, and takes the display
    // it gives that script; `wantsX`: an X display among them.
    [[nodiscard]] QString awaitReady(QProcess& compositor, const QString& readyFile, bool wantsX);
    void setDisplayServer(QProcess& server) { m_displayServer = &server; }
    [[nodiscard]] QProcess* displayServer() const { return m_displayServer; }
    // The last program started.
    [[nodiscard]] QProcess& newest() const { return *m_servers.back().process; }

    ToolResult run(const QString& program, const QStringList& args, int timeoutMs = 10000) const;
    // Whether every program still runs.
    [[nodiscard]] bool running() const;
    [[nodiscard]] QList<qint64> processIds() const;
    // Ends every program, last started first.
    void stop();

private:
    struct Server {
        std::unique_ptr<QProcess> process;
        QString log;
    };

    QTemporaryDir m_scratch;
    QProcessEnvironment m_env;
    int m_timeoutMs = 30000;
    std::function<bool()> m_givenUp;
    bool m_sessionBus = false;
    // The compositor's ready script, which outlives a compositor killed under it.
    int m_readyPid = 0;
    std::vector<Server> m_servers; // stopped last to first
    QProcess* m_displayServer = nullptr;
};

} // namespace desktop
