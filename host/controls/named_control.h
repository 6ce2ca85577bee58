// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// The one way to find a control by name: a name the window lacks is a programming error.
#pragma once

#include <QObject>
#include <QString>
#include <QtGlobal>

namespace host {

// The control of that name and kind among the children of `within`. A name it lacks stops the
// program in every build, never hands out a null reference.
template <class Control>
[[nodiscard]] Control& namedControl(const QObject& within, const QString& name) {
    auto* found = within.findChild<Control*>(name);
    if (found == nullptr) {
        qFatal("no control %s of that kind in %s", qPrintable(name),
               qPrintable(within.objectName()));
    }
    return *found;
}

} // namespace host
