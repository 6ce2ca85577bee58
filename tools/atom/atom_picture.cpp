// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "atom_picture.h"

#include <cmath>
#include <numbers>

using namespace Qt::StringLiterals;

namespace atom {

namespace {

const QRgb white = qRgb(255, 255, 255);

bool isInk(QRgb pixel) {
    return qRed(pixel) < 100 && qGreen(pixel) < 100 && qBlue(pixel) < 100;
}

bool isElectronBlue(QRgb pixel) {
    return qBlue(pixel) >= 200 && qRed(pixel) <= 60 && qGreen(pixel) <= 60;
}

int whiteRun(const QImage& shot, QPoint from, QPoint step) {
    int length = 0;
    while (shot.rect().contains(from + step * length) &&
           shot.pixel(from + step * length) == white) {
        ++length;
    }
    return length;
}

} // namespace

std::optional<Area> findArea(const QImage& shot) {
    std::optional<Area> best;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            const int width = whiteRun(shot, {x, y}, {1, 0});
            if (width > 100 && (!best || width > best->rect.width()) &&
                whiteRun(shot, {x, y}, {0, 1}) == width) {
                best = Area{QRect(x, y, width, width)};
            }
            x += width;
        }
    }
    return best;
}

QStringList drawingFaults(const QImage& shot, const Area& area) {
    QStringList faults;
    // The nucleus: red inside, clear of it a little further out (the cross is black).
    const QPoint centre = area.centre();
    const double unit = area.pixelsPerUnit();
    for (const QPoint d : {QPoint(1, 1), QPoint(-1, 1), QPoint(1, -1), QPoint(-1, -1)}) {
        if (shot.pixel(centre + d * qRound(0.4 * unit)) != qRgb(255, 0, 0) ||
            shot.pixel(centre + d * qRound(1.2 * unit)) != white) {
            faults << u"no red nucleus with white around it"_s;
        }
    }
    // Walking out from the centre, each orbit is crossed once, at its own distance.
    for (const QPoint step : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
        QList<double> seen;
        int runStart = -1;
        for (int i = qRound(2 * unit); i < area.rect.width() / 2; ++i) {
            const bool ink = isInk(shot.pixel(centre + step * i));
            if (ink && runStart < 0) {
                runStart = i;
            } else if (!ink && runStart >= 0) {
                seen << (runStart + i - 1) / 2.0;
                runStart = -1;
            }
        }
        bool right = seen.size() == std::ssize(orbitRadii);
        for (qsizetype i = 0; right && i < seen.size(); ++i) {
            right = std::abs(seen[i] - orbitRadii.at(std::size_t(i)) * unit) <= 2.0;
        }
        if (!right) {
            faults << u"%1 orbits crossed towards (%2, %3), not six at their radii"_s
                          .arg(seen.size())
                          .arg(step.x())
                          .arg(step.y());
        }
    }
    return faults;
}

ElectronSighting findElectron(const QImage& shot, const Area& area, int orbitRadius) {
    if (!shot.rect().contains(area.rect)) { // a screenshot that failed, or of another size
        return {{}, u"no screenshot with the atom where it was"_s};
    }
    const QPoint centre = area.centre();
    const double pathRadius = orbitRadius * area.pixelsPerUnit();
    QList<QPointF> blue;
    for (int y = area.rect.top(); y <= area.rect.bottom(); ++y) {
        for (int x = area.rect.left(); x <= area.rect.right(); ++x) {
            if (isElectronBlue(shot.pixel(x, y))) {
                blue << QPointF(x, y) - centre;
            }
        }
    }
    if (blue.isEmpty()) {
        return {};
    }
    QPointF mean;
    for (const QPointF& p : blue) {
        mean += p / static_cast<double>(blue.size());
    }
    // One small ring: a trail, a second ring or a ring off the orbit spreads the blue or moves it.
    for (const QPointF& p : blue) {
        if (std::hypot(p.x() - mean.x(), p.y() - mean.y()) > 0.55 * area.pixelsPerUnit()) {
            return {{}, u"blue spread over the picture, not one small ring"_s};
        }
    }
    const double distance = std::hypot(mean.x(), mean.y());
    if (std::abs(distance - pathRadius) > 0.2 * area.pixelsPerUnit()) {
        return {
            {},
            u"ring %1 px from the centre, not on the orbit at %2"_s.arg(distance).arg(pathRadius)};
    }
    // Screen y grows downwards, so atan2(x, -y) runs clockwise from the top.
    const double angle = std::atan2(mean.x(), -mean.y()) * 180.0 / std::numbers::pi;
    return {angle < 0 ? angle + 360.0 : angle, {}};
}

} // namespace atom
