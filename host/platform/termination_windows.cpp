// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "host/platform/termination.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QPointer>
#include <QWidget>

#include <windows.h>

namespace host {

namespace {

// Windows ends a session with WM_QUERYENDSESSION, which Qt answers ("yes", the program asks the
// user nothing), then WM_ENDSESSION, after which the process may be ended at any moment. Qt's own
// answer to the second only quits the event loop, past the window's close, so this one closes
// the window first, as its close button does. Messages reach the thread only when it takes them:
// a running handler finishes first, as on the other systems.
class SessionEndFilter : public QObject, public QAbstractNativeEventFilter {
public:
    explicit SessionEndFilter(QWidget& window) : QObject(&window), m_window(&window) {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~SessionEndFilter() override {
        if (QCoreApplication* application = QCoreApplication::instance()) {
            application->removeNativeEventFilter(this);
        }
    }
    SessionEndFilter(const SessionEndFilter&) = delete;
    SessionEndFilter& operator=(const SessionEndFilter&) = delete;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override {
        const auto* msg = static_cast<const MSG*>(message);
        if (eventType != "windows_generic_MSG" || msg->message != WM_ENDSESSION ||
            msg->wParam == FALSE) {
            return false;
        }
        // Every window of the program gets the message, Qt's hidden ones too: the first closes.
        if (m_window && m_window->isVisible() && m_window->close()) {
            // As the last window's close does, and now: the loop ends once this returns.
            QCoreApplication::exit(0);
        }
        *result = 0;
        return true;
    }

private:
    QPointer<QWidget> m_window;
};

} // namespace

void closeOnTermination(QWidget& window) {
    new SessionEndFilter(window);
}

} // namespace host
