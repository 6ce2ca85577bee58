// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "app/form1.h"

#include "animation/timer1_timer.h"
#include "host/controls/label.h"
#include "host/controls/message_box.h"
#include "host/controls/option_button.h"
#include "host/controls/picture_box.h"
#include "host/controls/timer.h"
#include "series/series_table.h"
#include "ui/control_names.h"
#include "ui/form1_description.h"

#include <algorithm>

namespace {

// The orbit buttons in order: orbit n's at n − 1.
std::array<host::OptionButton*, 6> orbitButtons(const host::Window& form) {
    std::array<host::OptionButton*, 6> buttons{};
    std::ranges::transform(ui::names::options, buttons.begin(), [&form](ui::names::Name name) {
        return &form.control<host::OptionButton>(name);
    });
    return buttons;
}

} // namespace

Form1::Form1(QWidget* parent, std::chrono::nanoseconds pass)
    : host::Window(ui::form1Description(), HostServices::gate, HostServices::dispatcher, parent),
      m_pace{.pass = pass,
             .sleepUntil = [this](animation::WaitClock::time_point until) { idleUntil(until); }},
      m_picture3(control<host::PictureBox>(ui::names::picture3)),
      m_option1(control<host::OptionButton>(ui::names::option1)),
      m_timer1(control<host::Timer>(ui::names::timer1)), m_options(orbitButtons(*this)),
      m_seriesFields(series::SeriesFields::of(*this)) {
    auto& run = HostServices::dispatcher;
    connect(this, &host::Window::Activate, this,
            [this, &run] { run.run("Form_Activate", [this] { Form_Activate(); }); });
    connect(&control<host::Label>(ui::names::label1), &host::Label::doubleClicked, this,
            [this, &run] { run.run("Label1_DblClick", [this] { Label1_DblClick(); }); });
    connect(&m_timer1, &host::Timer::tick, this,
            [this, &run] { run.run("Timer1_Timer", [this] { Timer1_Timer(); }); });
    // Six handlers of the event map, one routine: each reports an error under its own name.
    static constexpr std::array<const char*, 6> optionHandlers{
        "Option1_Click", "Option2_Click", "Option3_Click",
        "Option4_Click", "Option5_Click", "Option6_Click",
    };
    for (std::size_t i = 0; i < m_options.size(); ++i) {
        const char* const name = optionHandlers.at(i);
        const int orbit = static_cast<int>(i) + 1;
        connect(m_options[i], &host::OptionButton::Click, this, [this, &run, name, orbit] {
            run.run(name, [this, orbit] { chooseOrbit(orbit); });
        });
    }
    m_picture3.setAccessibleDescription(atomDescription(1));
    // Closing ends the program: no tick may start a revolution on a window that is going away.
    connect(this, &host::Window::closing, &m_timer1, &host::Timer::shutDown);
}

void Form1::Form_Activate() {
    m_picture3.Scale(-15, 15, 15, -15);
    m_picture3.Circle(0, 0, 4);
    m_picture3.Circle(0, 0, 6);
    m_picture3.Circle(0, 0, 8);
    m_picture3.Circle(0, 0, 10);
    m_picture3.Circle(0, 0, 12);
    m_picture3.Circle(0, 0, 14);
    // Orbit 1's state, whichever button is selected.
    const series::SeriesColumn& orbit1 = series::seriesTable().front();
    m_animation.orbitRadius = orbit1.radius;
    m_animation.pathRadius = orbit1.radius;
    m_animation.delayCount = orbit1.delayCount;
    if (m_option1.Value()) {
        m_timer1.setEnabled(true);
    }
}

void Form1::Timer1_Timer() {
    animation::Timer1_Timer(m_picture3, m_animation, m_pace);
}

void Form1::chooseOrbit(int orbit) {
    const auto index = static_cast<std::size_t>(orbit - 1);
    series::selectSeries(*m_options.at(index), series::seriesTable().at(index), m_animation,
                         m_seriesFields);
    // A reader who cannot see the electron hears where it now runs.
    if (m_options.at(index)->isChecked()) {
        m_picture3.setAccessibleDescription(atomDescription(orbit));
    }
}

QString Form1::atomDescription(int orbit) {
    return QStringLiteral("Ядро, шесть орбит и электрон на орбите %1").arg(orbit);
}

void Form1::Label1_DblClick() {
    host::MsgBox(gate(), this, ownershipNotice(), host::styleInformation, noticeTitle());
}

QString Form1::ownershipNotice() {
    return QStringLiteral(
        "Права собственности на данный программный продукт принадлежат Соколову А. В.");
}

QString Form1::noticeTitle() {
    return QStringLiteral("Прудупреждение");
}
