// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// Times the electron's revolution: a step's drawing, and a revolution at each level against its
// nominal time.
#include "animation/timer1_timer.h"
#include "app/form1.h"
#include "host/controls/picture_box.h"
#include "host/controls/timer.h"
#include "host/platform/toolkit_setup.h"
#include "series/series_table.h"
#include "ui/control_names.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

double seconds(const QElapsedTimer& t) {
    return static_cast<double>(t.nsecsElapsed()) * 1e-9;
}

// Processor time of the calling (user-interface) thread: the share of a revolution it spends
// busy, against waiting for the display.
double threadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

const series::SeriesColumn& column(std::size_t level) {
    return series::seriesTable()[level];
}

template <class F> double bestOf(int runs, F&& body) {
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        body();
        best = std::min(best, seconds(t));
    }
    return best;
}

// Revolution time against delay count, with the nominal line.
void plot(const QString& path, const std::vector<double>& delays,
          const std::vector<double>& revolutionMs, const QString& title) {
    QImage image(720, 440, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF area(70, 40, 620, 340);
    const double maxDelay = 1.6e6;
    const double maxMs = *std::ranges::max_element(revolutionMs) * 1.15;
    const auto at = [&](double d, double ms) {
        return QPointF(area.left() + d / maxDelay * area.width(),
                       area.bottom() - ms / maxMs * area.height());
    };
    p.setPen(Qt::black);
    p.drawRect(area);
    p.drawText(QRectF(0, 5, 720, 30), Qt::AlignCenter, title);
    p.drawText(QRectF(area.left(), area.bottom() + 20, area.width(), 20), Qt::AlignCenter,
               QStringLiteral("delay count (idle passes per step)"));
    p.save();
    p.translate(18, area.center().y());
    p.rotate(-90);
    p.drawText(QRectF(-120, -10, 240, 20), Qt::AlignCenter, QStringLiteral("revolution time (ms)"));
    p.restore();
    for (int i = 0; i <= 4; ++i) {
        const double ms = maxMs * i / 4;
        const QPointF y = at(0, ms);
        p.drawText(QRectF(area.left() - 60, y.y() - 8, 55, 16), Qt::AlignRight | Qt::AlignVCenter,
                   QString::number(ms, 'f', 0));
    }
    for (const double d : delays) {
        const QPointF x = at(d, 0);
        p.drawText(QRectF(x.x() - 40, area.bottom() + 2, 80, 16), Qt::AlignCenter,
                   QString::number(d / 1e6, 'g', 3) + QStringLiteral("M"));
    }
    p.setPen(QPen(QColor(120, 120, 120), 1, Qt::DashLine));
    const double nominalMsPerPass = 360 * animation::passLength.count() * 1e-6;
    p.drawLine(at(0, 0), at(maxDelay, maxDelay * nominalMsPerPass));
    p.setPen(QPen(Qt::blue, 2));
    p.setBrush(Qt::blue);
    for (std::size_t i = 0; i < delays.size(); ++i) {
        p.drawEllipse(at(delays[i], revolutionMs[i]), 4, 4);
        if (i > 0) {
            p.drawLine(at(delays[i - 1], revolutionMs[i - 1]), at(delays[i], revolutionMs[i]));
        }
    }
    p.setPen(Qt::black);
    p.drawText(QRectF(area.left() + 10, area.top() + 8, 400, 18), Qt::AlignLeft,
               QStringLiteral("blue: measured      dashed: nominal, 360 steps of 5 ns passes"));
    p.end();
    image.save(path);
}

} // namespace

int main(int argc, char* argv[]) {
    host::prepareToolkit();
    QApplication app(argc, argv);
    // "quick" runs each figure once with tiny counts, so CI keeps this program from rotting.
    const bool quick = app.arguments().contains(QStringLiteral("--quick"));
    const int runs = quick ? 1 : 3;

    Form1 form;
    const QSize restored = form.size();
    form.showMaximized();
    if (!QTest::qWaitFor([&] { return form.hasBeenActivated(); }, 5000)) {
        std::fprintf(stderr, "window never became active\n");
    }
    // A desktop kept busy maximises late: the figures are for the window the program shows.
    if (!quick && !QTest::qWaitFor([&] { return form.size() != restored; }, 10000)) {
        std::fprintf(stderr, "window never maximised\n");
    }
    form.control<host::Timer>(ui::names::timer1).setEnabled(false);
    QCoreApplication::processEvents();
    auto& picture = form.control<host::PictureBox>(ui::names::picture3);

    // A revolution with no wait is the drawing alone: 360 steps of three shown circles.
    ui::AnimationState state{4, 4, 0};
    const double drawRevolution =
        bestOf(runs, [&] { animation::Timer1_Timer(picture, state, form.pace()); });
    const double drawStep = drawRevolution / 360;

    std::printf("platform            %s\n", qPrintable(QGuiApplication::platformName()));
    std::printf("window              %dx%d, zoom %.3f\n", form.width(), form.height(),
                form.zoom().factor);
    std::printf("idle pass           %lld ns of the clock\n",
                static_cast<long long>(animation::passLength.count()));
    std::printf("step drawing        %.1f us (three circles, each shown)\n", drawStep * 1e6);

    // Levels interleaved, round after round, so a slow spell of the machine falls on all of
    // them alike; each figure is the median of its rounds, with the fastest and slowest.
    const int rounds = quick ? 1 : 5;
    const auto& table = series::seriesTable();
    std::vector<std::vector<double>> wallMs(table.size());
    double cpuTotal = 0;
    double wallTotal = 0;
    double mostBusy = 0;
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t level = 0; level < table.size(); ++level) {
            const auto& column = table[level];
            const ui::AnimationState state{column.radius, column.radius,
                                           quick ? column.delayCount / 1000 : column.delayCount};
            const double cpuBefore = threadCpuSeconds();
            QElapsedTimer t;
            t.start();
            animation::Timer1_Timer(picture, state, form.pace());
            const double wall = seconds(t);
            const double cpu = threadCpuSeconds() - cpuBefore;
            wallMs[level].push_back(wall * 1e3);
            cpuTotal += cpu;
            wallTotal += wall;
            mostBusy = std::max(mostBusy, cpu / wall);
        }
    }
    std::vector<double> revolution;
    const double nominalPerCount =
        360 * static_cast<double>(animation::passLength.count()) * 1e-9 / (quick ? 1000 : 1);
    for (std::size_t level = 0; level < table.size(); ++level) {
        auto& ms = wallMs[level];
        std::sort(ms.begin(), ms.end());
        revolution.push_back(ms[ms.size() / 2] / 1e3);
        const double nominal = static_cast<double>(column(level).delayCount) * nominalPerCount;
        std::printf("level %zu revolution  median %6.3f s  (min %.3f, max %.3f)  nominal %5.3f s  "
                    "%+5.1f %%\n",
                    level + 1, revolution.back(), ms.front() / 1e3, ms.back() / 1e3, nominal,
                    (revolution.back() / nominal - 1) * 100);
    }
    std::printf("level 6 / level 1    %.2f (nominal 5.00; medians of %d revolutions each, "
                "interleaved)\n",
                revolution.back() / revolution.front(), rounds);
    std::printf("thread busy          %.1f %% of the time (most in one revolution %.1f %%)\n",
                cpuTotal / wallTotal * 100, mostBusy * 100);

    const int plotAt = static_cast<int>(app.arguments().indexOf(QStringLiteral("--plot")));
    if (plotAt > 0 && plotAt + 1 < app.arguments().size()) {
        std::vector<double> delays;
        std::vector<double> ms;
        for (std::size_t i = 0; i < revolution.size(); ++i) {
            delays.push_back(series::seriesTable()[i].delayCount);
            ms.push_back(revolution[i] * 1e3);
        }
        plot(app.arguments()[plotAt + 1], delays, ms,
             QStringLiteral("Revolution time by level (%1)").arg(QGuiApplication::platformName()));
    }
    return 0;
}
