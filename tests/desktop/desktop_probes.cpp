// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "desktop_probes.h"

#include "atom_picture.h"
#include "desktop.h"
#include "host/controls/picture_box.h"
#include "host/form/control_spec.h"
#include "host/form/window.h"
#include "host/screen/units.h"
#include "series/number_text.h"
#include "series/series_table.h"
#include "ui/control_names.h"
#include "ui/form1_description.h"
#include "ui/palette.h"

#include <QDir>
#include <QElapsedTimer>
#include <QHash>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <array>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <random>
#include <unistd.h>

using desktop::Desktop;
using namespace Qt::StringLiterals;

QString radiusPhrase(int orbit) {
    return u"РАДИУС ВРАЩЕНИЯ = %1 на десять в минус одиннадцатой степени метра"_s.arg(
        series::decimalText(series::seriesTable().at(std::size_t(orbit - 1)).rotationRadius));
}

const DesignGeometry& design() {
    static const DesignGeometry geometry = [] {
        const host::FormSpec& form = ui::form1Description();
        const auto row = [&](const char* name) -> const host::ControlSpec& {
            return *std::ranges::find_if(form.controls, [&](const host::ControlSpec& control) {
                return std::string_view(control.name) == name;
            });
        };
        const auto pixels = [](double twips) { return twips / host::twipsPerPixel; };
        const auto centre = [&](const host::ControlSpec& c) {
            return QPointF(pixels(c.left + c.width / 2.0), pixels(c.top + c.height / 2.0));
        };
        // A picture box's drawing area starts inside its border, and is as wide as the program
        // rounds it.
        const auto inner = [&](const host::ControlSpec& c) {
            const int border = host::PictureBox::borderWidth;
            return QRectF(host::twipsToPixels(c.left) + border, host::twipsToPixels(c.top) + border,
                          host::twipsToPixels(c.width) - 2 * border,
                          host::twipsToPixels(c.height) - 2 * border);
        };
        const QSize extent = host::designExtent(form);
        DesignGeometry made{QSizeF(pixels(extent.width()), pixels(extent.height())),
                            inner(row(ui::names::picture3)),
                            centre(row(ui::names::picture3)),
                            centre(row(ui::names::label1)),
                            {}};
        const std::array marks{row(ui::names::line3), row(ui::names::line4), row(ui::names::line5),
                               row(ui::names::line6)};
        const auto shortest = std::ranges::max(marks, {}, &host::ControlSpec::y1);
        const QRectF panel = inner(row(marks.front().container));
        for (const host::ControlSpec& mark : marks) {
            made.marks << panel.topLeft() +
                              QPointF(pixels(mark.x1), pixels((shortest.y1 + shortest.y2) / 2.0));
        }
        return made;
    }();
    return geometry;
}

QRectF designRect(const char* control) {
    const host::FormSpec& form = ui::form1Description();
    const auto& row = *std::ranges::find_if(form.controls, [&](const host::ControlSpec& c) {
        return std::string_view(c.name) == control;
    });
    const QRectF own(host::twipsToPixels(row.left), host::twipsToPixels(row.top),
                     host::twipsToPixels(row.width), host::twipsToPixels(row.height));
    if (std::string_view(row.container).empty()) {
        return own;
    }
    // From a frame's corner, or from the corner of a picture box's inner area.
    const auto& container = *std::ranges::find_if(form.controls, [&](const host::ControlSpec& c) {
        return std::string_view(c.name) == row.container;
    });
    const int border = container.kind == host::Kind::PictureBox ? host::PictureBox::borderWidth : 0;
    return own.translated(designRect(row.container).topLeft() + QPointF(border, border));
}

double fitOf(QSize client) {
    return std::min(client.width() / design().extent.width(),
                    client.height() / design().extent.height());
}

std::optional<SeenLayout> seenLayout(const QImage& shot) {
    const QRgb ground = host::toQColor(ui::colours::windowBlue).rgb();
    QRect client;
    for (int y = 0; y < shot.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(shot.constScanLine(y));
        for (int x = 0; x < shot.width(); ++x) {
            client |= row[x] == ground ? QRect(x, y, 1, 1) : QRect();
        }
    }
    const std::optional<atom::Area> area = atom::findArea(shot);
    if (client.isEmpty() || !area || !atom::drawingFaults(shot, *area).isEmpty()) {
        return std::nullopt;
    }
    return SeenLayout{client, *area};
}

Sightings watch(const Desktop& screen, qint64 pid, const atom::Area& area, int radius, int shots,
                int spacingMs, qsizetype wanted) {
    Sightings sightings;
    QElapsedTimer clock;
    clock.start();
    for (int shot = 0; shot < shots && sightings.places.size() < wanted; ++shot) {
        QTest::qWait(int(std::max<qint64>(0, qint64{shot} * spacingMs - clock.elapsed())));
        const atom::ElectronSighting seen =
            atom::findElectron(screen.screenshot(pid), area, radius);
        sightings.seen += seen.angleDegrees ? 1 : 0;
        if (seen.angleDegrees && std::ranges::none_of(sightings.places, [&](double p) {
                return std::abs(p - *seen.angleDegrees) < 3;
            })) {
            sightings.places << *seen.angleDegrees;
        }
        sightings.faults << (seen.fault.isEmpty() ? QStringList() : QStringList{seen.fault});
    }
    return sightings;
}

QString xWindowTitled(const Desktop& screen, const QString& title, qint64 pid) {
    const QStringList search =
        pid != 0 ? QStringList{"--pid", QString::number(pid)} : QStringList{"--name", "."};
    const QString ids =
        screen.run(u"xdotool"_s, QStringList{"search", "--onlyvisible"} + search).out;
    for (const QString& id : ids.split(u'\n', Qt::SkipEmptyParts)) {
        if (screen.run(u"xdotool"_s, {"getwindowname", id}).out.trimmed() == title) {
            return id;
        }
    }
    return {};
}

QByteArray mapsOf(qint64 pid) {
    QFile maps(u"/proc/%1/maps"_s.arg(pid));
    return maps.open(QIODevice::ReadOnly) ? maps.readAll() : QByteArray();
}

QString loadedPlatform(qint64 pid) {
    const QByteArray text = mapsOf(pid);
    return text.contains("/platforms/libqxcb.so")         ? u"xcb"_s
           : text.contains("/platforms/libqwayland")      ? u"wayland"_s
           : text.contains("/platforms/libqoffscreen.so") ? u"offscreen"_s
                                                          : QString();
}

QString describe(const Sightings& s) {
    return u"the electron seen in %1 screenshots, in %2 places; %3"_s.arg(s.seen)
        .arg(s.places.size())
        .arg(s.faults.join(u"; "_s));
}

qint64 processorTicks(qint64 pid) {
    QFile stat(u"/proc/%1/stat"_s.arg(pid));
    const QByteArray text = stat.open(QIODevice::ReadOnly) ? stat.readAll() : QByteArray();
    // The fields after the command's name, which may hold blanks: state is the first, utime the
    // twelfth.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 12 ? fields[11].toLongLong() + fields[12].toLongLong() : -1;
}

QList<qint64> waylandBufferSizes(qint64 pid) {
    QList<qint64> sizes;
    for (const QByteArray& line : mapsOf(pid).split('\n')) {
        if (line.contains("/memfd:wayland-shm")) {
            const QList<QByteArray> range = line.left(line.indexOf(' ')).split('-');
            sizes << range.value(1).toLongLong(nullptr, 16) -
                         range.value(0).toLongLong(nullptr, 16);
        }
    }
    return sizes;
}

QString frameUnansweredAtClose(const QByteArray& log) {
    static const QRegularExpression message(
        u"client ([0-9a-fx]+) (rq|ev) "
        u"(wl_surface@\\d+\\.(?:frame|destroy)|wl_callback@(\\d+)\\.done)"
        u"(?:\\(new id wl_callback@(\\d+))?"_s);
    QHash<QString, QSet<QString>> waiting; // callbacks by client
    for (const QString& line : QString::fromUtf8(log).split(u'\n')) {
        const QRegularExpressionMatch m = message.match(line);
        if (!m.hasMatch()) {
            continue;
        }
        QSet<QString>& callbacks = waiting[m.captured(1)];
        if (m.captured(3).endsWith(u".frame"_s)) {
            callbacks.insert(m.captured(5));
        } else if (m.captured(3).endsWith(u".done"_s)) {
            callbacks.remove(m.captured(4));
        } else if (!callbacks.isEmpty()) {
            return u"%1 went with frame %2 unanswered"_s.arg(m.captured(3), *callbacks.begin());
        }
    }
    return {};
}

Sample sampleOf(qint64 pid, double minute) {
    QFile status(u"/proc/%1/status"_s.arg(pid));
    const QString text =
        status.open(QIODevice::ReadOnly) ? QString::fromUtf8(status.readAll()) : "";
    Sample sample{
        minute, QRegularExpression(u"VmRSS:\\s+(\\d+)"_s).match(text).captured(1).toLongLong(), {}};
    const QDir fds(u"/proc/%1/fd"_s.arg(pid));
    for (const QString& fd : fds.entryList(QDir::System | QDir::NoDotAndDotDot)) {
        sample.files << QFile::symLinkTarget(fds.filePath(fd));
    }
    sample.files.sort();
    return sample;
}
