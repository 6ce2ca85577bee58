// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// Whether a label's caption shows whole in its real font: one line, all of its ink inside.
#pragma once

#include "host/controls/label.h"
#include "host/screen/superscript_text.h"

#include <QFontMetrics>
#include <QString>

// Where the caption's ink lies in the label's own coordinates, placed as its alignment says.
inline QRect captionInk(const host::Label& label) {
    const host::SuperscriptText text(label.shownText(), label.font());
    const int spare = label.width() - text.advance();
    const int offset = label.alignment() == host::Alignment::Centre ? spare / 2 : 0;
    return text.ink().translated(offset, label.textTop() + QFontMetrics(label.font()).ascent());
}

// Empty when the caption fits, else what it needs. Wider than the label, a caption with blanks
// would break onto a second line, which is cut.
inline QString captionFitProblem(const host::Label& label) {
    const int advance = host::SuperscriptText(label.shownText(), label.font()).advance();
    const QRect ink = captionInk(label);
    const bool fits = advance <= label.width() && label.rect().contains(ink);
    return fits ? QString()
                : QString::asprintf("%s: %d px, ink %d..%d, in %d px",
                                    qPrintable(label.objectName()), advance, ink.left(),
                                    ink.right(), label.width());
}
