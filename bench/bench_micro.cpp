// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// Micro-benchmarks of the electron's step: its wait, and its three shown circles, back to back and
// after a wait.
#include "animation/orbit_path.h"
#include "animation/revolution_wait.h"
#include "app/form1.h"
#include "host/controls/picture_box.h"
#include "host/controls/timer.h"
#include "host/platform/toolkit_setup.h"
#include "ui/control_names.h"
#include "ui/palette.h"

#include <QApplication>
#include <QTest>
#include <benchmark/benchmark.h>

namespace {

// Level 1's delay count: the shortest wait between two steps.
constexpr std::int32_t levelOneWait = 300000;

// One step's wait at level 1 on the window's pace: 1.5 ms of the clock, next to no processor.
void stepWait(benchmark::State& state, const animation::Pace* pace) {
    const auto passes = static_cast<std::int32_t>(state.range(0));
    for (auto _ : state) {
        animation::RevolutionWait waits(*pace);
        waits.wait(passes);
    }
}

// One step of a revolution on orbit 1: the orbit redrawn, the ring drawn, the ring erased.
void stepDrawing(benchmark::State& state, host::PictureBox* picture3) {
    host::PictureBox& picture = *picture3;
    std::int16_t step = 1;
    for (auto _ : state) {
        const auto at = animation::electronCentre(4, step);
        picture.Circle(0, 0, 4);
        picture.Circle(at.x, at.y, animation::electronRadius, ui::colours::blue);
        picture.Circle(at.x, at.y, animation::electronRadius, ui::colours::white);
        step = static_cast<std::int16_t>(step % 360 + 1);
    }
    state.SetLabel(QGuiApplication::platformName().toStdString());
}

// The same step as a revolution runs it: after a level-1 wait, while which the X server has gone
// idle and must be woken by the first request. Only the drawing is timed.
void stepDrawingAfterWait(benchmark::State& state, host::PictureBox* picture3,
                          const animation::Pace* pace) {
    host::PictureBox& picture = *picture3;
    std::int16_t step = 1;
    for (auto _ : state) {
        state.PauseTiming();
        animation::RevolutionWait(*pace).wait(levelOneWait);
        state.ResumeTiming();
        const auto at = animation::electronCentre(4, step);
        picture.Circle(0, 0, 4);
        picture.Circle(at.x, at.y, animation::electronRadius, ui::colours::blue);
        picture.Circle(at.x, at.y, animation::electronRadius, ui::colours::white);
        step = static_cast<std::int16_t>(step % 360 + 1);
    }
}

} // namespace

int main(int argc, char* argv[]) {
    host::prepareToolkit();
    QApplication app(argc, argv);
    Form1 form;
    form.showMaximized();
    (void)QTest::qWaitForWindowActive(&form, 5000);
    form.control<host::Timer>(ui::names::timer1).setEnabled(false);
    QCoreApplication::processEvents();

    benchmark::RegisterBenchmark("stepWait", stepWait, &form.pace())
        ->Arg(levelOneWait)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("stepDrawing", stepDrawing,
                                 &form.control<host::PictureBox>(ui::names::picture3))
        ->Unit(benchmark::kMicrosecond);
    // A fixed count: the untimed waits would otherwise stretch each run to half a minute.
    benchmark::RegisterBenchmark("stepDrawingAfterWait", stepDrawingAfterWait,
                                 &form.control<host::PictureBox>(ui::names::picture3), &form.pace())
        ->Iterations(300)
        ->Unit(benchmark::kMicrosecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
