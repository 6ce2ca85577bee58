// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// Reads the atom picture off a screenshot of the real program: where it is, its orbits, the
// electron.
#pragma once

#include <QImage>
#include <QRect>
#include <QStringList>
#include <array>
#include <optional>

namespace atom {

inline constexpr std::array orbitRadii{4, 6, 8, 10, 12, 14}; // in the picture's units, -15..15

// The atom picture's white drawing area on the screen.
struct Area {
    QRect rect;
    [[nodiscard]] QPoint centre() const {
        return rect.topLeft() + QPoint(rect.width() / 2, rect.width() / 2);
    }
    [[nodiscard]] double pixelsPerUnit() const { return rect.width() / 30.0; }
};

// The biggest white square on the screen: the drawing area, whose top rows no orbit reaches.
std::optional<Area> findArea(const QImage& shot);

// The red nucleus and the six orbits at their radii; empty when all is well.
QStringList drawingFaults(const QImage& shot, const Area& area);

// The electron in one screenshot, as an angle clockwise from the top of the atom.
struct ElectronSighting {
    std::optional<double> angleDegrees;
    QString fault;
};

// Every blue pixel must belong to one small ring centred on the orbit of that radius.
ElectronSighting findElectron(const QImage& shot, const Area& area, int orbitRadius);

} // namespace atom
