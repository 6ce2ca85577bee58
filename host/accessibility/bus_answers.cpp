// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "host/accessibility/bus_answers.h"

#include "host/paint/screen_pacer.h"

#include <QCoreApplication>
#include <QEvent>
#if LUMERA_WITH_DBUS
#include <QDBusConnection>
#endif

namespace host {

namespace {

// Where the toolkit serves every accessible object: one object for the whole subtree.
const QString treePath = QStringLiteral("/org/a11y/atspi/accessible");
// The bus may come later than the window; looking for it costs a lock, so not at every call.
constexpr qint64 lookAgainNs = 1'000'000'000;

} // namespace

BusAnswers::BusAnswers(QObject* parent, QString connection)
    : QObject(parent), m_connection(std::move(connection)) {
    m_sinceAnswered.start();
}

QObject* BusAnswers::tree() {
#if LUMERA_WITH_DBUS
    if (!m_tree && (!m_sinceLooked.isValid() || m_sinceLooked.nsecsElapsed() > lookAgainNs)) {
        m_sinceLooked.start();
        const QDBusConnection bus(m_connection);
        if (bus.isConnected()) {
            m_tree = bus.objectRegisteredAt(treePath);
        }
    }
#endif
    // Elsewhere (Windows's UI Automation) the reader's calls are window messages, which wait for
    // the handler's end as input does.
    return m_tree;
}

void BusAnswers::answerWaiting() {
    if (m_sinceAnswered.nsecsElapsed() < spacingNs) {
        return;
    }
    m_sinceAnswered.start();
    if (QObject* target = tree()) {
        // The bus thread posts each call to the object as a meta-call event.
        QCoreApplication::sendPostedEvents(target, QEvent::MetaCall);
    }
}

void BusAnswers::idleUntil(ScreenPacer* pacer, std::chrono::steady_clock::time_point deadline) {
    // A reader asks one question at a time, each changed phrase after a choice: left to the next
    // drawing, each would wait for a whole step of the handler that holds the thread. With no
    // reader on the bus the wait wakes for nothing.
    while (tree() != nullptr) {
        const auto slice = std::chrono::steady_clock::now() + waitSlice;
        if (slice >= deadline) {
            break;
        }
        host::idleUntil(pacer, slice);
        answerWaiting();
    }
    host::idleUntil(pacer, deadline);
}

} // namespace host
