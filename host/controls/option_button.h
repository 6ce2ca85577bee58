// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// An option button: one of a frame's group, of which exactly one is selected.
#pragma once

#include "host/screen/bgr.h"

#include <QRadioButton>

namespace host {

class CallGate;
class Frame;

class OptionButton : public QRadioButton {
    Q_OBJECT

public:
    OptionButton(const QString& name, Bgr background, CallGate& gate, Frame* frame);

    [[nodiscard]] bool Value() const;

    // The round indicator is drawn at the window's zoom.
    void setZoom(double zoom);

signals:
    // Raised for the button that became the selected one, after the group selected it;
    // never for the button that lost the selection.
    void Click();

protected:
    // The arrow keys select the previous or next button of the group, as a click would.
    void keyPressEvent(QKeyEvent* event) override;
    // The whole cell the layout gives the button takes the click, not only its indicator.
    [[nodiscard]] bool hitButton(const QPoint& pos) const override;
    void paintEvent(QPaintEvent* event) override;

private:
    CallGate& m_gate;
    double m_zoom = 1.0;
};

} // namespace host
