// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "host/screen/superscript_text.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string_view>

namespace host {

namespace {

// Each superscript character, and what is drawn raised in its place.
constexpr std::u16string_view superscripts = u"⁰¹²³⁴⁵⁶⁷⁸⁹⁺⁻";
constexpr std::u16string_view drawnAs = u"0123456789+\u2212";

// Four fifths of the size, raised by about a third of it: an 11-pixel caption's are 9 pixels,
// 4 up, legible at the design's size and still within the font's ascent.
constexpr double smallScale = 0.8;
constexpr double raiseScale = 0.35;

int scaled(int pixels, double scale) {
    return static_cast<int>(std::lround(pixels * scale));
}

} // namespace

SuperscriptText::SuperscriptText(const QString& text, const QFont& font)
    : m_font(font), m_small(font) {
    const int pixels = QFontInfo(font).pixelSize();
    m_small.setPixelSize(std::max(1, scaled(pixels, smallScale)));
    m_raise = scaled(pixels, raiseScale);
    m_runs.append({QString(), false});
    for (const QChar c : text) {
        const std::size_t at = superscripts.find(c.unicode());
        const bool raised = at != std::u16string_view::npos;
        if (raised != m_runs.back().raised) {
            m_runs.append({QString(), raised});
        }
        m_runs.back().text += raised ? QChar(drawnAs[at]) : c;
    }
}

template <typename Visit> void SuperscriptText::forEachRun(Visit visit) const {
    int x = 0;
    for (const Run& run : m_runs) {
        const QFont& font = run.raised ? m_small : m_font;
        visit(run, font, QPoint(x, run.raised ? -m_raise : 0));
        x += QFontMetrics(font).horizontalAdvance(run.text);
    }
}

int SuperscriptText::advance() const {
    int width = 0;
    forEachRun([&width](const Run& run, const QFont& font, QPoint origin) {
        width = origin.x() + QFontMetrics(font).horizontalAdvance(run.text);
    });
    return width;
}

QRect SuperscriptText::ink() const {
    QRect united;
    forEachRun([&united](const Run& run, const QFont& font, QPoint origin) {
        united |= QFontMetrics(font).tightBoundingRect(run.text).translated(origin);
    });
    return united;
}

void SuperscriptText::draw(QPainter& painter, QPoint baselineStart) const {
    forEachRun([&painter, baselineStart](const Run& run, const QFont& font, QPoint origin) {
        painter.setFont(font);
        painter.drawText(baselineStart + origin, run.text);
    });
    painter.setFont(m_font);
}

} // namespace host
