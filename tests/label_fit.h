// Whether a label's caption shows whole in its real font: one line, all of its ink inside.
#pragma once

#include "host/label.h"

#include <QFontMetrics>
#include <QString>

// Where the caption's ink lies in the label's own coordinates, placed as its alignment says.
inline QRect captionInk(const host::Label& label) {
    const QFontMetrics metrics(label.font());
    const QString text = label.shownText();
    const int advance = metrics.horizontalAdvance(text);
    const int offset =
        label.alignment() == host::Alignment::Centre ? (label.width() - advance) / 2 : 0;
    return metrics.tightBoundingRect(text).translated(offset, metrics.ascent());
}

// Empty when the caption fits; otherwise what it needs, for the failure message. Wider than the
// label, a caption with blanks would break onto a second line, which is cut.
inline QString captionFitProblem(const host::Label& label) {
    const int advance = QFontMetrics(label.font()).horizontalAdvance(label.shownText());
    const QRect ink = captionInk(label);
    if (advance <= label.width() && label.rect().contains(ink)) {
        return {};
    }
    return QStringLiteral("%1 \"%2\" advances %3 px, ink %4..%5, in a label %6 px wide")
        .arg(label.objectName(), label.shownText())
        .arg(advance)
        .arg(ink.left())
        .arg(ink.right())
        .arg(label.width());
}
