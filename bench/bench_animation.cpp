// Times the electron's revolution: a busy pass, a step's drawing, and a revolution at each level.
#include "animation/idle_wait.h"
#include "animation/timer1_timer.h"
#include "app/form1.h"
#include "host/picture_box.h"
#include "host/timer.h"
#include "host/toolkit_setup.h"
#include "series/series_table.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double seconds(const QElapsedTimer& t) {
    return static_cast<double>(t.nsecsElapsed()) * 1e-9;
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

} // namespace

int main(int argc, char* argv[]) {
    host::prepareToolkit();
    QApplication app(argc, argv);
    // "quick" runs each figure once with tiny counts, so CI keeps this program from rotting.
    const bool quick = app.arguments().contains(QStringLiteral("--quick"));
    const int runs = quick ? 1 : 3;

    Form1 form;
    form.showMaximized();
    if (!QTest::qWaitForWindowActive(&form, 5000)) {
        std::fprintf(stderr, "window never became active\n");
    }
    form.control<host::Timer>("Timer1").setEnabled(false);
    QCoreApplication::processEvents();
    auto& picture = form.control<host::PictureBox>("Picture3");

    const std::int32_t passes = quick ? 1'000'000 : 300'000'000;
    const double passTime = bestOf(runs, [&] { animation::idlePasses(passes); }) / passes;

    // A revolution with no wait is the drawing alone: 360 steps of three shown circles.
    AnimationState state{4, 4, 0};
    const double drawRevolution = bestOf(runs, [&] { animation::Timer1_Timer(picture, state); });
    const double drawStep = drawRevolution / 360;

    std::printf("platform            %s\n", qPrintable(QGuiApplication::platformName()));
    std::printf("busy pass           %.3f ns\n", passTime * 1e9);
    std::printf("step drawing        %.1f us (three circles, each flushed)\n", drawStep * 1e6);

    std::vector<double> revolution;
    for (const auto& column : series::seriesTable()) {
        AnimationState level{column.radius, column.radius,
                             quick ? column.delayCount / 1000 : column.delayCount};
        revolution.push_back(
            bestOf(quick ? 1 : 2, [&] { animation::Timer1_Timer(picture, level); }));
    }
    const double level1Delay = series::seriesTable()[0].delayCount;
    for (std::size_t i = 0; i < revolution.size(); ++i) {
        const double ideal = series::seriesTable()[i].delayCount / level1Delay;
        std::printf("level %zu revolution  %8.1f ms  ratio %.3f  ideal %.3f  (%+.1f %%)\n", i + 1,
                    revolution[i] * 1e3, revolution[i] / revolution[0], ideal,
                    (revolution[i] / revolution[0] / ideal - 1) * 100);
    }
    std::printf("drawing share of a level-1 step  %.1f %%\n", drawRevolution / revolution[0] * 100);
    return 0;
}
