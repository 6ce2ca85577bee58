// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// A frame: the panel that makes the option buttons on it one group with exactly one selected.
#pragma once

#include "host/screen/bgr.h"

#include <QWidget>

class QButtonGroup;

namespace host {

class Frame : public QWidget {
    Q_OBJECT

public:
    Frame(const QString& name, Bgr background, QWidget* parent);

    [[nodiscard]] QButtonGroup* group() const { return m_group; }

private:
    QButtonGroup* m_group;
};

// Fills the widget's background, and its buttons', with the colour.
void paintBackground(QWidget& widget, Bgr background);

} // namespace host
