// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// One line of text with its superscripts (¹, ⁻ …) drawn in its own font, smaller and raised.
#pragma once

#include <QFont>
#include <QList>
#include <QRect>
#include <QString>

class QPainter;

namespace host {

// A font may lack a superscript character (Liberation Sans 1.07 has "¹" but not "⁻"), and the
// toolkit would then borrow it from another face. Each is drawn instead as the font's own digit,
// plus or minus sign (U+2212), in a smaller size of the same font.
class SuperscriptText {
public:
    SuperscriptText(const QString& text, const QFont& font);

    // Without a superscript the text is plain text in its font.
    [[nodiscard]] bool hasSuperscript() const { return m_runs.size() > 1; }
    [[nodiscard]] int advance() const;
    // The ink, from the start of the baseline.
    [[nodiscard]] QRect ink() const;
    void draw(QPainter& painter, QPoint baselineStart) const;

private:
    // The first run is never raised, though it may be empty.
    struct Run {
        QString text;
        bool raised;
    };
    // Calls `visit(run, font, origin)` for each run, left to right, from the baseline's start.
    template <typename Visit> void forEachRun(Visit visit) const;

    QFont m_font;
    QFont m_small;
    int m_raise = 0;
    QList<Run> m_runs;
};

} // namespace host
