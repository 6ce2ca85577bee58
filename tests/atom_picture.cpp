#include "atom_picture.h"

#include <cmath>
#include <numbers>

namespace atom {

namespace {

const QRgb white = qRgb(255, 255, 255);
const QRgb pureRed = qRgb(255, 0, 0);

bool isColour(const QImage& image, QPoint at, QRgb colour) {
    return image.rect().contains(at) && image.pixel(at) == colour;
}

// Middles of the dark runs met walking from `from` in steps of `step`, as distances from `from`.
QList<double> inkCrossings(const QImage& shot, QPoint from, QPoint step, int length) {
    QList<double> found;
    int runStart = -1;
    for (int i = 0; i <= length; ++i) {
        const QPoint at = from + step * i;
        const bool ink = i < length && shot.rect().contains(at) && isInk(shot.pixel(at));
        if (ink && runStart < 0) {
            runStart = i;
        } else if (!ink && runStart >= 0) {
            found << (runStart + i - 1) / 2.0;
            runStart = -1;
        }
    }
    return found;
}

} // namespace

bool isInk(QRgb pixel) {
    return qRed(pixel) < 100 && qGreen(pixel) < 100 && qBlue(pixel) < 100;
}

bool isElectronBlue(QRgb pixel) {
    return qBlue(pixel) >= 200 && qRed(pixel) <= 60 && qGreen(pixel) <= 60;
}

QString describe(QPoint p) {
    return QStringLiteral("(%1, %2)").arg(p.x()).arg(p.y());
}

std::optional<Area> findArea(const QImage& shot) {
    for (int y = 0; y < shot.height(); ++y) {
        int runStart = -1;
        for (int x = 0; x <= shot.width(); ++x) {
            const bool whitePixel = x < shot.width() && shot.pixel(x, y) == white;
            if (whitePixel && runStart < 0) {
                runStart = x;
            } else if (!whitePixel && runStart >= 0) {
                if (x - runStart == innerSide) {
                    int height = 0;
                    while (y + height < shot.height() &&
                           shot.pixel(runStart, y + height) == white) {
                        ++height;
                    }
                    if (height == innerSide) {
                        return Area{QPoint(runStart, y)};
                    }
                }
                runStart = -1;
            }
        }
    }
    return std::nullopt;
}

QStringList drawingFaults(const QImage& shot, const Area& area) {
    QStringList faults;
    // The nucleus: red inside, clear of it a little further out (the cross is black).
    const QPoint centre = area.centre();
    for (const QPoint d : {QPoint(6, 6), QPoint(-6, 6), QPoint(6, -6), QPoint(-6, -6)}) {
        if (!isColour(shot, centre + d, pureRed)) {
            faults << QStringLiteral("nucleus not red at %1 from the centre").arg(describe(d));
        }
        if (!isColour(shot, centre + d * 3, white)) {
            faults << QStringLiteral("atom picture not white at %1 from the centre")
                          .arg(describe(d * 3));
        }
    }
    // Each orbit crosses every radius once, at its own distance from the centre.
    for (const QPoint step : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
        const int clear = 20; // past the nucleus and its cross
        const QList<double> crossings =
            inkCrossings(shot, centre + step * clear, step, innerSide / 2 - clear);
        bool matches = crossings.size() == static_cast<qsizetype>(orbitRadii.size());
        for (qsizetype i = 0; matches && i < crossings.size(); ++i) {
            const double expected = orbitRadii[static_cast<std::size_t>(i)] * pixelsPerUnit;
            matches = std::abs(crossings[i] + clear - expected) <= 2.0;
        }
        if (!matches) {
            QStringList seen;
            for (const double c : crossings) {
                seen << QString::number(c + clear, 'f', 1);
            }
            faults << QStringLiteral("orbit crossings towards %1: [%2] px from the centre")
                          .arg(describe(step), seen.join(QStringLiteral(", ")));
        }
    }
    return faults;
}

ElectronSighting findElectron(const QImage& shot, const Area& area, int orbitRadius) {
    ElectronSighting sighting;
    const QPoint centre = area.centre();
    const double pathRadius = orbitRadius * pixelsPerUnit;
    QList<QPointF> near;
    int astray = 0;
    for (int y = 0; y < innerSide; ++y) {
        for (int x = 0; x < innerSide; ++x) {
            const QPoint at = area.topLeft + QPoint(x, y);
            if (!isElectronBlue(shot.pixel(at))) {
                continue;
            }
            ++sighting.bluePixels;
            const QPointF d = at - centre;
            if (std::abs(std::hypot(d.x(), d.y()) - pathRadius) <= 15.0) {
                near << d;
            } else {
                ++astray;
            }
        }
    }
    if (sighting.bluePixels == 0) {
        return sighting;
    }
    if (astray > 0) {
        sighting.fault = QStringLiteral("%1 blue pixels away from the orbit of radius %2")
                             .arg(astray)
                             .arg(orbitRadius);
        return sighting;
    }
    QPointF mean;
    for (const QPointF& p : near) {
        mean += p;
    }
    mean /= static_cast<double>(near.size());
    for (const QPointF& p : near) {
        // One small ring: a trail or a second ring would spread the blue along the orbit.
        if (std::hypot(p.x() - mean.x(), p.y() - mean.y()) > 8.0) {
            sighting.fault = QStringLiteral("blue spread along the orbit, not one small ring");
            return sighting;
        }
    }
    const double distance = std::hypot(mean.x(), mean.y());
    if (std::abs(distance - pathRadius) > 3.0) {
        sighting.fault = QStringLiteral("ring centred %1 px from the centre").arg(distance);
        return sighting;
    }
    // Screen y grows downwards, so atan2(x, -y) runs clockwise from the top.
    const double angle = std::atan2(mean.x(), -mean.y()) * 180.0 / std::numbers::pi;
    sighting.angleDegrees = angle < 0 ? angle + 360.0 : angle;
    return sighting;
}

} // namespace atom
