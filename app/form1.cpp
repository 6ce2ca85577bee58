#include "app/form1.h"

#include "animation/timer1_timer.h"
#include "host/label.h"
#include "host/message_box.h"
#include "host/option_button.h"
#include "host/picture_box.h"
#include "host/timer.h"
#include "ui/form1_description.h"

Form1::Form1(QWidget* parent)
    : host::Window(ui::form1Description(), HostServices::gate, HostServices::dispatcher, parent),
      m_picture3(control<host::PictureBox>("Picture3")),
      m_option1(control<host::OptionButton>("Option1")), m_timer1(control<host::Timer>("Timer1")) {
    auto& run = HostServices::dispatcher;
    connect(this, &host::Window::Activate, this,
            [this, &run] { run.run("Form_Activate", [this] { Form_Activate(); }); });
    connect(&control<host::Label>("Label1"), &host::Label::doubleClicked, this,
            [this, &run] { run.run("Label1_DblClick", [this] { Label1_DblClick(); }); });
    connect(&m_timer1, &host::Timer::tick, this,
            [this, &run] { run.run("Timer1_Timer", [this] { Timer1_Timer(); }); });
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
    m_animation.orbitRadius = 4;
    m_animation.pathRadius = 4;
    m_animation.delayCount = 300000;
    if (m_option1.Value()) {
        m_timer1.setEnabled(true);
    }
}

void Form1::Timer1_Timer() {
    animation::Timer1_Timer(m_picture3, m_animation);
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
