// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "host/dispatch/dispatcher.h"

#include "host/dispatch/runtime_error.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>

namespace host {

QString ErrorReport::text() const {
    return QStringLiteral("Ошибка выполнения %1: %2 (обработчик %3)")
        .arg(number)
        .arg(description, handler);
}

Dispatcher::Dispatcher(QString errorTitle, QObject* parent)
    : QObject(parent), m_presenter([title = std::move(errorTitle)](const ErrorReport& report) {
          QMessageBox box(QMessageBox::Critical, title, report.text(), QMessageBox::Ok,
                          QApplication::activeWindow());
          box.exec();
      }) {}

void Dispatcher::run(const char* name, Handler handler) {
    if (m_stopped) {
        return;
    }
    if (busy()) {
        m_deferred.emplace_back(name, std::move(handler));
        return;
    }
    runNow(name, handler);
    while (!m_deferred.empty() && !m_stopped) {
        auto [deferredName, deferred] = std::move(m_deferred.front());
        m_deferred.pop_front();
        runNow(deferredName, deferred);
    }
    if (!m_stopped) {
        emit idle();
    }
}

void Dispatcher::runNow(const char* name, const Handler& handler) {
    ++m_depth;
    try {
        handler();
    } catch (const RuntimeError& error) {
        --m_depth;
        fail(name, error);
        return;
    }
    --m_depth;
}

void Dispatcher::fail(const char* name, const RuntimeError& error) {
    // Stop first: a timer that keeps failing must not pile up boxes behind this one.
    m_stopped = true;
    m_deferred.clear();
    const ErrorReport report{QString::fromLatin1(name), error.number(), error.description()};
    const QByteArray line =
        QStringLiteral("%1: %2\n").arg(QCoreApplication::applicationName(), report.text()).toUtf8();
    std::fputs(line.constData(), stderr);
    std::fflush(stderr);
    m_presenter(report);
    QCoreApplication::exit(failureExitStatus);
}

} // namespace host
