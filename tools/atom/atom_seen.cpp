// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// atom-seen FILE: whether a screenshot shows the atom drawn whole, its electron on an orbit.
#include "atom_picture.h"

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

// Why the picture is not one of the atom with its electron; empty when it is.
QString faultOf(const QImage& shot) {
    if (shot.isNull()) {
        return u"no picture to read"_s;
    }
    const std::optional<atom::Area> area = atom::findArea(shot);
    if (!area) {
        return u"no atom on the screen"_s;
    }
    if (const QStringList faults = atom::drawingFaults(shot, *area); !faults.isEmpty()) {
        return faults.join(u"; "_s);
    }
    QStringList faults;
    for (const int radius : atom::orbitRadii) {
        const atom::ElectronSighting seen = atom::findElectron(shot, *area, radius);
        if (seen.angleDegrees) {
            return {};
        }
        faults << seen.fault;
    }
    // A ring off every orbit is told of once an orbit; blue spread, once for all.
    faults.removeDuplicates();
    faults.removeAll(QString());
    return faults.isEmpty()     ? u"no electron on the screen"_s
           : faults.size() == 1 ? faults.front()
                                : u"an electron ring on none of the orbits"_s;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fputs("usage: atom-seen FILE\n"
                   "Exits 0 when the screenshot FILE shows the atom drawn whole and one electron\n"
                   "ring on one of its orbits; 1, saying why, when it does not.\n",
                   stderr);
        return 2;
    }
    const QString fault = faultOf(QImage(QString::fromLocal8Bit(argv[1])));
    if (!fault.isEmpty()) {
        std::fprintf(stderr, "atom-seen: %s\n", qPrintable(fault));
        return 1;
    }
    return 0;
}
