// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// Runs the program's handlers one at a time, each to its end, and turns an escaped run-time
// error into one report and a non-zero exit.
#pragma once

#include <QObject>
#include <QString>
#include <deque>
#include <functional>

namespace host {

class RuntimeError;

struct ErrorReport {
    QString handler;
    int number = 0;
    QString description;

    // One line for standard error and the body of the error box.
    [[nodiscard]] QString text() const;
};

class Dispatcher : public QObject {
    Q_OBJECT

public:
    using Handler = std::function<void()>;
    using Presenter = std::function<void(const ErrorReport&)>;

    static constexpr int failureExitStatus = 1;

    // `errorTitle` heads the box that reports a run-time error: the program's name.
    explicit Dispatcher(QString errorTitle = {}, QObject* parent = nullptr);

    // Runs the handler now or, if another one is still running (say, behind a modal box),
    // right after it ends. Does nothing once a run-time error has stopped the program.
    void run(const char* name, Handler handler);

    [[nodiscard]] bool busy() const { return m_depth > 0; }
    [[nodiscard]] bool stopped() const { return m_stopped; }

    // Shows the report to the user; the default is a modal error box.
    void setPresenter(Presenter presenter) { m_presenter = std::move(presenter); }

signals:
    // The outermost handler and everything deferred behind it have returned.
    void idle();

private:
    void runNow(const char* name, const Handler& handler);
    void fail(const char* name, const RuntimeError& error);

    int m_depth = 0;
    bool m_stopped = false;
    std::deque<std::pair<const char*, Handler>> m_deferred;
    Presenter m_presenter;
};

} // namespace host
