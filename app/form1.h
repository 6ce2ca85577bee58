// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// Form1, the main window object: it owns the Animation state and wires the event map.
#pragma once

#include "animation/pace.h"
#include "host/dispatch/call_gate.h"
#include "host/dispatch/dispatcher.h"
#include "host/form/window.h"
#include "series/series_selection.h"
#include "ui/animation_state.h"
#include "ui/form1_description.h"

#include <array>
#include <chrono>
#include <cstdint>

namespace host {
class PictureBox;
class OptionButton;
class Timer;
class Label;
} // namespace host

// Constructed before the window so that every control can reach them.
struct HostServices {
    host::CallGate gate;
    // Run-time errors are reported under the window's own title.
    host::Dispatcher dispatcher{QString::fromUtf8(ui::form1Description().caption)};
};

class Form1 : private HostServices, public host::Window {

public:
    // `pass` is the length of the electron's idle pass: tests that need many revolutions shorten
    // it; the program keeps the real one.
    explicit Form1(QWidget* parent = nullptr,
                   std::chrono::nanoseconds pass = animation::passLength);

    // The event map's handlers.
    void Form_Activate();
    void Label1_DblClick();
    void Timer1_Timer();
    // Option1_Click … Option6_Click: shows the series of `orbit` if its button is selected.
    void chooseOrbit(int orbit);

    [[nodiscard]] const ui::AnimationState& animation() const { return m_animation; }
    // The electron's pace: its passes slept on this window's screen.
    [[nodiscard]] const animation::Pace& pace() const { return m_pace; }
    [[nodiscard]] host::CallGate& gate() { return HostServices::gate; }
    [[nodiscard]] host::Dispatcher& dispatcher() { return HostServices::dispatcher; }

    [[nodiscard]] static QString ownershipNotice();
    [[nodiscard]] static QString noticeTitle();
    // What a screen reader says of the atom picture while the electron runs on `orbit`.
    [[nodiscard]] static QString atomDescription(int orbit);

private:
    ui::AnimationState m_animation;
    animation::Pace m_pace;
    host::PictureBox& m_picture3;
    host::OptionButton& m_option1;
    host::Timer& m_timer1;
    std::array<host::OptionButton*, 6> m_options;
    series::SeriesFields m_seriesFields;
};
