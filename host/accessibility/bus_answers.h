// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// Answers the accessibility bus while a long handler holds the thread.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <chrono>

namespace host {

class ScreenPacer;

// A reader calls back for every changed name, one call at a time, and a call that lands in a
// revolution would wait for its end: one revolution a call. So calls for the accessible tree are
// answered between a handler's control calls too. Only those: input and the rest of the event
// queue still wait for the handler's end, and a press through the bus runs its handler after the
// running one, as a click does.
class BusAnswers : public QObject {
    Q_OBJECT

public:
    // `connection` names the toolkit's connection to the accessibility bus.
    explicit BusAnswers(QObject* parent, QString connection = QStringLiteral("a11y"));

    // Answers the calls that came in since the last time, if at least `spacingNs` has passed.
    void answerWaiting();
    // Holds the thread until `deadline` as idleUntil does, answering the calls meanwhile.
    void idleUntil(ScreenPacer* pacer, std::chrono::steady_clock::time_point deadline);

    static constexpr qint64 spacingNs = 250'000;
    // How often a handler's wait wakes to answer, while a reader is there.
    static constexpr std::chrono::milliseconds waitSlice{1};

private:
    [[nodiscard]] QObject* tree();

    QString m_connection;
    QPointer<QObject> m_tree;
    QElapsedTimer m_sinceAnswered;
    QElapsedTimer m_sinceLooked;
};

} // namespace host
