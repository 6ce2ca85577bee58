// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// What X itself costs for one step of the electron: three 12 x 12 images put into a mapped window,
// each flushed before the next, through xcb and nothing else.
// Usage: xcb_floor [steps per round] [rounds] [wait µs]. Prints "floor <median µs a step>", steps
// back to back, and "floor-after-wait <median>", each step after a sleep as long as level 1's wait,
// in which the server goes idle: what a revolution meets.
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>
#include <vector>

namespace {

constexpr std::uint16_t side = 12;

struct Disconnect {
    void operator()(xcb_connection_t* c) const { xcb_disconnect(c); }
};

// Waits until the window can be drawn on: without a mapped, exposed window the server drops the
// images at no cost.
void waitForExpose(xcb_connection_t* c) {
    while (xcb_generic_event_t* event = xcb_wait_for_event(c)) {
        const bool exposed = (event->response_type & 0x7f) == XCB_EXPOSE;
        std::free(event);
        if (exposed) {
            return;
        }
    }
}

} // namespace

int main(int argc, char* argv[]) {
    const int steps = argc > 1 ? std::atoi(argv[1]) : 20000;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
    const double waitMicroseconds = argc > 3 ? std::atof(argv[3]) : 1500;
    std::unique_ptr<xcb_connection_t, Disconnect> connection(xcb_connect(nullptr, nullptr));
    xcb_connection_t* c = connection.get();
    if (xcb_connection_has_error(c) != 0) {
        std::fprintf(stderr, "xcb_floor: no X display\n");
        return 1;
    }
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const xcb_window_t window = xcb_generate_id(c);
    const std::uint32_t values[] = {screen->white_pixel, XCB_EVENT_MASK_EXPOSURE};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 400, 400, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
    const xcb_gcontext_t gc = xcb_generate_id(c);
    xcb_create_gc(c, gc, window, 0, nullptr);
    xcb_map_window(c, window);
    xcb_flush(c);
    waitForExpose(c);

    // Orbit repaired, ring drawn, ring erased: three different images, as in a step.
    std::vector<std::uint32_t> images[3];
    const std::uint32_t colours[3] = {0x000000, 0x0000ff, 0xffffff};
    for (int i = 0; i < 3; ++i) {
        images[i].assign(std::size_t{side} * side, colours[i]);
    }
    const auto step = [&](int n) {
        const auto x = static_cast<std::int16_t>(100 + n % 200);
        for (const auto& image : images) {
            xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, window, gc, side, side, x, 100, 0,
                          screen->root_depth, static_cast<std::uint32_t>(image.size() * 4),
                          reinterpret_cast<const std::uint8_t*>(image.data()));
            xcb_flush(c);
        }
    };

    using Clock = std::chrono::steady_clock;
    using Micro = std::chrono::duration<double, std::micro>;
    const auto median = [](std::vector<double> values) {
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    };
    std::vector<double> backToBack;
    std::vector<double> afterWait;
    for (int round = 0; round < rounds; ++round) {
        const auto start = Clock::now();
        for (int n = 0; n < steps; ++n) {
            step(n);
        }
        // Every request of the round has reached the server and been carried out.
        std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
        backToBack.push_back(Micro(Clock::now() - start).count() / steps);

        const int waitedSteps = std::max(1, steps / 20);
        double drawing = 0;
        for (int n = 0; n < waitedSteps; ++n) {
            std::this_thread::sleep_for(Micro(waitMicroseconds));
            const auto drawStart = Clock::now();
            step(n);
            drawing += Micro(Clock::now() - drawStart).count();
        }
        afterWait.push_back(drawing / waitedSteps);
    }
    std::printf("floor %.2f\n", median(backToBack));
    std::printf("floor-after-wait %.2f\n", median(afterWait));
    return 0;
}
