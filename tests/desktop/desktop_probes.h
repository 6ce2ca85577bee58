// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// What the desktops test reads off the running program and its screen: the layout and electron
// in screenshots, and the process's platform, processor time, memory and files under /proc.
#pragma once

#include "atom_picture.h"
#include "desktop.h"

#include <QImage>
#include <QList>
#include <QRect>
#include <QStringList>
#include <optional>

// The phrase a reader hears for the radius on `orbit` (1 to 6).
QString radiusPhrase(int orbit);

// The window as designed, in pixels at zoom 1, from the program's own description.
struct DesignGeometry {
    QSizeF extent;        // what the zoom fits into the client area
    QRectF atom;          // the atom picture's drawing area
    QPointF atomCentre;   // the atom picture's centre
    QPointF heading;      // the heading's centre
    QList<QPointF> marks; // the transition marks, each midway down the shortest
};
[[nodiscard]] const DesignGeometry& design();
// A control's rectangle in the design, in pixels at zoom 1, from the window's corner.
[[nodiscard]] QRectF designRect(const char* control);

// How many times the design's extent fits the client area, across and down.
double fitOf(QSize client);

// The zoom the atom picture's drawing area shows the design at.
[[nodiscard]] inline double zoomOf(const atom::Area& atom) {
    return atom.rect.width() / design().atom.width();
}
// Where a point of the design shows on the screen, from the atom picture's place.
[[nodiscard]] inline QPoint onScreen(const atom::Area& atom, QPointF designed) {
    return atom.rect.topLeft() + ((designed - design().atom.topLeft()) * zoomOf(atom)).toPoint();
}

// The design as a screenshot shows it: the window's client area (all the window-blue ground the
// design lies on) and the atom picture's drawing area in it.
struct SeenLayout {
    QRect client;
    atom::Area atom;
    [[nodiscard]] double zoom() const { return zoomOf(atom); }
    // Where the atom's centre lies from where it should: centred with the design, which is
    // zoomed to fit, or left at the corner as designed where it does not fit at all.
    [[nodiscard]] QPointF offCentre() const {
        const double z = std::max(1.0, fitOf(client.size()));
        const QPointF designCentre = QRectF(QPointF(), design().extent).center();
        const QPointF centre = fitOf(client.size()) <= 1 ? QRectF(client).topLeft() + designCentre
                                                         : QRectF(client).center();
        return QRectF(atom.rect).center() - (centre + (design().atomCentre - designCentre) * z);
    }
    [[nodiscard]] bool fills() const {
        const QPointF off = offCentre();
        return std::abs(zoom() - std::max(1.0, fitOf(client.size()))) < 0.02 &&
               std::abs(off.x()) <= 3 && std::abs(off.y()) <= 3;
    }
};

std::optional<SeenLayout> seenLayout(const QImage& shot);

// The electron in up to `shots` screenshots, `spacingMs` apart or as fast as they come, until
// it was seen in `wanted` places: how often it showed on the orbit of `radius`, where, and what
// else blue showed. A compositor that reads the window in the middle of a step shows a ring cut
// short now and then; a trail or a second ring shows in most.
struct Sightings {
    int seen = 0;
    QList<double> places;
    QStringList faults;
};

Sightings watch(const desktop::Desktop& screen, qint64 pid, const atom::Area& area, int radius,
                int shots, int spacingMs = 137, qsizetype wanted = 360);

// The visible X window titled `title`, of the program `pid` (or of any program, for 0), if any:
// names are compared here, as xdotool's own name search can miss Cyrillic titles.
QString xWindowTitled(const desktop::Desktop& screen, const QString& title, qint64 pid = 0);

// What a running process has mapped: /proc/PID/maps, or nothing once it is gone.
QByteArray mapsOf(qint64 pid);

// Which Qt platform plugin a running process loaded: "xcb", "wayland", "offscreen" or empty.
QString loadedPlatform(qint64 pid);

QString describe(const Sightings& s);

// Processor time of all the program's threads so far, in clock ticks (utime + stime).
qint64 processorTicks(qint64 pid);

// The sizes of the program's shared-memory mappings of Wayland buffers (Qt's pools).
QList<qint64> waylandBufferSizes(qint64 pid);

// The first frame a client asked the compositor for and still waited for when it took a surface
// away, in weston's protocol log: Qt 6.4 may then destroy the frame's answer twice, and
// libwayland aborts. Empty if there is none.
QString frameUnansweredAtClose(const QByteArray& log);

// The program's resident memory and open files at a moment of a soak.
struct Sample {
    double minute = 0;
    qint64 residentKib = 0;
    QStringList files;
};

Sample sampleOf(qint64 pid, double minute);
