// Reads the atom picture off a screenshot of the real program: where it is, its orbits, the
// electron.
#pragma once

#include <QImage>
#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace atom {

// The window's layout in client pixels (15 twips each), as the program places it.
inline constexpr QPoint innerOrigin(506, 106); // Picture3 at (504, 104) inside its 2-px border
inline constexpr int innerSide = 448;
inline constexpr double pixelsPerUnit = innerSide / 30.0; // user units run -15..15
inline constexpr std::array orbitRadii{4, 6, 8, 10, 12, 14};

bool isInk(QRgb pixel);
bool isElectronBlue(QRgb pixel);
QString describe(QPoint p);

// Where the atom picture's white drawing area is on the screen.
struct Area {
    QPoint topLeft;
    [[nodiscard]] QPoint centre() const { return topLeft + QPoint(innerSide / 2, innerSide / 2); }
    [[nodiscard]] QPoint clientOrigin() const { return topLeft - innerOrigin; }
    [[nodiscard]] QRect rect() const { return {topLeft, QSize(innerSide, innerSide)}; }
};

// The only white square of the atom picture's size: its top rows are clear of the orbits.
std::optional<Area> findArea(const QImage& shot);

// The red nucleus and the six orbits at their radii; empty when all is well.
QStringList drawingFaults(const QImage& shot, const Area& area);

// The electron in one screenshot, as an angle clockwise from the top of the atom.
struct ElectronSighting {
    int bluePixels = 0;
    std::optional<double> angleDegrees;
    QString fault;
};

// Every blue pixel must belong to one small ring centred on the orbit of that radius.
ElectronSighting findElectron(const QImage& shot, const Area& area, int orbitRadius);

} // namespace atom
