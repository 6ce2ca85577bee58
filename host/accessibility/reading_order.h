// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// The window as a screen reader walks it: a few stops in reading order, panels as named groupings
// that hold one phrase per figure, and nothing else.
#pragma once

#include "host/accessibility/reading_stop.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <span>

class QWidget;

namespace host {

class Label;

class ReadingOrder : public QObject {
    Q_OBJECT

public:
    // Owned by `window`, which a reader meets as the walk's top from now on; the walk is empty
    // until it is followed.
    explicit ReadingOrder(QWidget& window);

    // Finds the controls of `stops` among the children of the window. A name the window lacks is
    // a programming error: it stops the program in every build.
    void follow(std::span<const ReadingStop> stops);

    // The order of the window a control sits in; null outside a window that has one.
    [[nodiscard]] static const ReadingOrder* of(const QObject* control);

    // The stops of the window, or the phrases of a grouping; empty for any other control.
    [[nodiscard]] const QList<QWidget*>& childrenOf(const QObject* control) const;
    // The grouping a phrase belongs to, the window for a stop, or nullptr when not in the walk.
    [[nodiscard]] QWidget* parentOf(const QObject* control) const;
    // What a phrase's control says, with blanks run together; empty when it has no pattern.
    [[nodiscard]] QString phrase(const QObject* control) const;

    // Registers the screen-reader view of windows, panels, labels and option buttons; safe to
    // call again.
    static void install();

private:
    // A pattern cut at its placeholders: text, then the label whose caption follows it.
    struct Part {
        QString text;
        const Label* label = nullptr;
    };

    QWidget& m_window;
    QHash<const QObject*, QList<QWidget*>> m_children;
    QHash<const QObject*, QWidget*> m_parent;
    QHash<const QObject*, QList<Part>> m_phrase;
};

} // namespace host
