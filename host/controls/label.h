// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// A label: a fixed-size, opaque caption that shows a new text at once and cuts off what overflows.
#pragma once

#include "host/controls/alignment.h"
#include "host/screen/bgr.h"
#include "host/screen/fonts.h"

#include <QWidget>

namespace host {

class CallGate;
class ScreenPacer;

class Label : public QWidget {
    Q_OBJECT

public:
    // `pacer` brings each new caption to the screen; without one it is shown at once.
    Label(const QString& name, const FontSpec& font, CallGate& gate, QWidget* parent,
          ScreenPacer* pacer = nullptr);

    void setCaption(const QString& caption);
    [[nodiscard]] const QString& caption() const { return m_caption; }
    // What the user reads: in the symbol character set Latin letters show as Greek.
    [[nodiscard]] QString shownText() const;

    void setColours(Bgr fore, Bgr back);
    [[nodiscard]] Bgr foreColor() const { return m_fore; }
    [[nodiscard]] Bgr backColor() const { return m_back; }
    void setAlignment(Alignment alignment) { m_alignment = alignment; }
    [[nodiscard]] Alignment alignment() const { return m_alignment; }
    [[nodiscard]] const FontSpec& fontSpec() const { return m_fontSpec; }
    // Text is drawn at its zoomed size, never as an enlarged picture of itself.
    void setZoom(double zoom) { setFont(toQFont(m_fontSpec, zoom)); }

    // Qt flags used to lay out the caption: top-aligned, wrapping at blanks.
    [[nodiscard]] int textFlags() const;
    // How far below the label's top the caption starts: nowhere, unless a tall letter (the breve
    // of "Й" in a large font) would rise above the font's ascent and be cut.
    [[nodiscard]] int textTop() const;

    // Sets the caption as the window is built, without passing the call gate.
    void setDesignCaption(const QString& caption) { m_caption = caption; }

signals:
    void doubleClicked();
    void captionChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    CallGate& m_gate;
    ScreenPacer* m_pacer;
    FontSpec m_fontSpec;
    QString m_caption;
    Bgr m_fore = defaultForeColor;
    Bgr m_back = defaultBackColor;
    Alignment m_alignment = Alignment::Left;
};

} // namespace host
