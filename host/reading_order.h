// The window as a screen reader walks it: a few stops in reading order, panels as named groupings
// that hold one phrase per figure, and nothing else.
#pragma once

#include "ui/control_spec.h"

#include <QHash>
#include <QList>
#include <QString>

class QObject;
class QWidget;

namespace host {

class ReadingOrder {
public:
    // Finds the controls of `stops` among the children of `window`.
    ReadingOrder(QWidget& window, std::span<const ui::ReadingStop> stops);

    // The stops of the window, or the phrases of a grouping; empty for any other control.
    [[nodiscard]] const QList<QWidget*>& childrenOf(const QObject* control) const;
    // The grouping a phrase belongs to, the window for a stop, or nullptr when not in the walk.
    [[nodiscard]] QWidget* parentOf(const QObject* control) const;
    // What a phrase's control says, with blanks run together; empty when it has no pattern.
    [[nodiscard]] QString phrase(const QObject* control) const;
    // The controls whose phrase shows the caption of `label`.
    [[nodiscard]] QList<QWidget*> speakersFor(const QObject* label) const;

    // Registers the screen-reader view of windows, panels and labels; safe to call again.
    static void install();

private:
    QWidget& m_window;
    QHash<const QObject*, QList<QWidget*>> m_children;
    QHash<const QObject*, QWidget*> m_parent;
    QHash<const QObject*, QString> m_pattern;
    QList<QWidget*> m_speakers;
};

} // namespace host
