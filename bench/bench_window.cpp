// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// Whole-window figures: start to first frame, peak memory, and click-to-new-orbit latency.
//
//   bench_window startup N     N runs each of this program's window and of a bare Qt window
//   bench_window click N       N clicks at random moments of running revolutions
//   bench_window child lumera|bare   (internal) one start, printing its first-frame time
#include "app/form1.h"
#include "host/controls/option_button.h"
#include "host/controls/timer.h"
#include "host/platform/toolkit_setup.h"
#include "ui/control_names.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMouseEvent>
#include <QPointingDevice>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <ctime>
#include <sys/resource.h>
#include <thread>
#include <vector>

namespace {

qint64 monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<qint64>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

long peakKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Prints when the first frame is out and how much memory it took, then ends.
void reportFirstFrame() {
    std::printf("%lld %ld\n", static_cast<long long>(monotonicNs()), peakKiB());
    std::fflush(stdout);
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
}

int child(const QString& mode) {
    if (mode == QStringLiteral("lumera")) {
        Form1 form;
        // The first frame with six orbits: the activation's sixth circle has been flushed when it
        // reads Option1's Value, its seventh host call.
        int calls = 0;
        form.gate().setObserver([&](const host::CallRecord&) {
            if (++calls == 7) {
                reportFirstFrame();
            }
        });
        form.showMaximized();
        return QApplication::exec();
    }
    QLabel label(QStringLiteral("ЛЮМЕРА"));
    struct FirstPaint : QObject {
        bool seen = false;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint && !seen) {
                seen = true;
                // Reported once the paint has been flushed, after this event returns.
                QTimer::singleShot(0, qApp, reportFirstFrame);
            }
            return false;
        }
    } firstPaint;
    label.installEventFilter(&firstPaint);
    label.showMaximized();
    return QApplication::exec();
}

struct Start {
    double ms;
    long kib;
};

Start startOnce(const QString& program, const QString& mode) {
    QProcess process;
    const qint64 before = monotonicNs();
    process.start(program, {QStringLiteral("child"), mode});
    process.waitForFinished(30000);
    const QList<QByteArray> fields = process.readAllStandardOutput().trimmed().split(' ');
    if (fields.size() != 2) {
        return {-1, -1};
    }
    return {static_cast<double>(fields[0].toLongLong() - before) / 1e6, fields[1].toLong()};
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

int startup(const QString& program, int runs) {
    std::vector<double> lumeraMs;
    std::vector<double> bareMs;
    std::vector<double> lumeraKiB;
    std::vector<double> bareKiB;
    for (int i = 0; i < runs; ++i) {
        const Start l = startOnce(program, QStringLiteral("lumera"));
        const Start b = startOnce(program, QStringLiteral("bare"));
        lumeraMs.push_back(l.ms);
        bareMs.push_back(b.ms);
        lumeraKiB.push_back(static_cast<double>(l.kib));
        bareKiB.push_back(static_cast<double>(b.kib));
    }
    const double lm = median(lumeraMs);
    const double bm = median(bareMs);
    std::printf("start to first frame   lumera %.1f ms   bare window %.1f ms   ratio %.2f  (median "
                "of %d)\n",
                lm, bm, lm / bm, runs);
    const double lk = median(lumeraKiB);
    const double bk = median(bareKiB);
    std::printf("peak resident memory   lumera %.0f KiB   bare window %.0f KiB   ratio %.2f\n", lk,
                bk, lk / bk);
    return 0;
}

// Clicks arrive from another thread at random moments; each is timed to the first circle drawn
// on the orbit it chose, against the time that was left of the revolution it arrived in.
int clicks(int count) {
    Form1 form;
    form.showMaximized();
    if (!QTest::qWaitFor([&] { return form.hasBeenActivated(); }, 5000)) {
        std::fprintf(stderr, "window never became active\n");
    }
    // Made here: the clicking thread may not create the device its events name.
    (void)QPointingDevice::primaryPointingDevice();
    // The window's own tick handler runs first, so this sees the end of each revolution.
    std::atomic<qint64> revolutionEnd{0};
    QObject::connect(&form.control<host::Timer>(ui::names::timer1), &host::Timer::tick, &form,
                     [&] { revolutionEnd = monotonicNs(); });

    std::atomic<bool> clicked{false};
    std::atomic<bool> answered{false};
    std::atomic<qint64> clickedAt{0};
    std::atomic<int> wantedOrbit{0};
    std::vector<double> latencyMs;
    std::vector<double> leftMs;
    form.gate().setObserver([&](const host::CallRecord& call) {
        if (clicked && !answered && call.operation == host::Operation::Circle &&
            form.animation().orbitRadius == wantedOrbit) {
            latencyMs.push_back(static_cast<double>(monotonicNs() - clickedAt) / 1e6);
            leftMs.push_back(static_cast<double>(revolutionEnd - clickedAt) / 1e6);
            answered = true;
        }
    });
    QRandomGenerator random(20261206);
    for (int i = 0; i < count; ++i) {
        const int level = i % 5 + 2; // never level 1, which the window starts on
        auto& button = form.control<host::OptionButton>(ui::names::options.at(level - 1));
        if (button.isChecked()) {
            continue;
        }
        const auto delay = std::chrono::milliseconds(random.bounded(150));
        wantedOrbit = 2 * level + 2;
        clicked = false;
        answered = false;
        std::thread user([&, delay] {
            std::this_thread::sleep_for(delay);
            clickedAt = monotonicNs();
            clicked = true;
            const QPointF at(8, 8);
            for (const auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
                const auto buttons =
                    type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
                QCoreApplication::postEvent(
                    &button, new QMouseEvent(type, at, button.mapToGlobal(at), Qt::LeftButton,
                                             buttons, Qt::NoModifier));
            }
        });
        (void)QTest::qWaitFor([&] { return answered.load(); }, 10000);
        user.join();
    }
    double worst = -1e9;
    for (std::size_t i = 0; i < latencyMs.size(); ++i) {
        worst = std::max(worst, latencyMs[i] - std::max(0.0, leftMs[i]));
    }
    const double slowest =
        latencyMs.empty() ? 0 : *std::max_element(latencyMs.begin(), latencyMs.end());
    std::printf("click to new orbit     median %.1f ms   slowest %.1f ms   median left of "
                "revolution %.1f ms   worst beyond the rest of its revolution %.1f ms   (%zu "
                "clicks)\n",
                median(latencyMs), slowest, median(leftMs), worst, latencyMs.size());
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    // The bare window is a plain Qt program; everything else runs as the program does.
    const bool bare = argc > 2 && QByteArray(argv[1]) == "child" && QByteArray(argv[2]) == "bare";
    if (!bare) {
        host::prepareToolkit();
    }
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    const QString mode = args.value(1);
    if (mode == QStringLiteral("child")) {
        return child(args.value(2));
    }
    if (mode == QStringLiteral("startup")) {
        return startup(QApplication::applicationFilePath(),
                       args.value(2, QStringLiteral("5")).toInt());
    }
    if (mode == QStringLiteral("click")) {
        return clicks(args.value(2, QStringLiteral("20")).toInt());
    }
    std::fprintf(stderr, "usage: bench_window startup N | click N\n");
    return 2;
}
