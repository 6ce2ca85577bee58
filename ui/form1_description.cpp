// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "ui/form1_description.h"
#include "ui/palette.h"

#include "ui/control_names.h"

#include <array>

namespace ui {

namespace {

using namespace names;
using host::Bgr;
using host::ControlSpec;
using host::Kind;
using host::rows::control;
using host::rows::image;
using host::rows::label;
using host::rows::line;
using host::rows::shape;
using host::rows::timer;
namespace c = ui::colours;
constexpr auto centred = host::Alignment::Centre;

// Every orbit button sits in the frame, on the panel's yellow, one cell high.
constexpr ControlSpec option(Name name, int l, bool selected) {
    return host::rows::option(name, frame1, l, 720, 255, 255, c::panelYellow, selected);
}

constexpr Bgr yellow = c::panelYellow;
constexpr Bgr black = c::black;
constexpr Bgr white = c::white;
constexpr Bgr red = c::red;

// Front to back within each container.
constexpr std::array controls{
    // On the window.
    timer(timer1, false, 10),
    control(picture4, Kind::PictureBox, "", 7560, 8520, 6735, 1935, yellow),
    control(picture3, Kind::PictureBox, "", 7560, 1560, 6775, 6775, white),
    control(picture2, Kind::PictureBox, "", 1320, 8520, 5775, 1935, yellow),
    control(picture1, Kind::PictureBox, "", 1320, 1560, 5715, 6735, yellow),
    label(label1, "", 3600, 360, 9135, 1095, "ЛЮМЕРА", fonts::title, red, c::windowBlue, centred),

    // The atom picture: the nucleus.
    line(line2, picture3, 3240, 3360, 3480, 3360, 1, black),
    line(line1, picture3, 3360, 3240, 3360, 3480, 1, black),
    shape(shape1, picture3, 3174, 3180, 375, 375, red, black),

    // The series panel.
    control(frame1, Kind::Frame, picture4, 120, 600, 6375, 975, yellow),
    label(label20, picture4, 2280, 240, 1695, 255, "НОМЕР ОРБИТЫ ", fonts::heading, red, yellow),
    option(option6, 5880, false),
    option(option5, 4800, false),
    option(option4, 3720, false),
    option(option3, 2520, false),
    option(option2, 1440, false),
    option(option1, 360, true),
    label(label26, frame1, 5880, 120, 495, 375, "6", fonts::digit, black, yellow),
    label(label25, frame1, 4800, 120, 495, 375, "5", fonts::digit, black, yellow),
    label(label24, frame1, 3720, 120, 255, 375, "4", fonts::digit, black, yellow),
    label(label23, frame1, 2520, 120, 495, 375, "3", fonts::digit, black, yellow),
    label(label22, frame1, 1440, 120, 255, 375, "2", fonts::digit, black, yellow),
    label(label21, frame1, 360, 120, 255, 375, "1", fonts::digit, black, yellow, centred),

    // The orbit fields.
    label(label19, picture2, 3840, 1440, 375, 255, "эВ", fonts::heading, black, yellow),
    label(label18, picture2, 3840, 840, 495, 255, "Мм/с", fonts::heading, black, yellow),
    label(label17, picture2, 2400, 1440, 735, 255, "- 13,55", fonts::value, black, yellow),
    label(label16, picture2, 3120, 840, 735, 255, "2,18", fonts::value, black, yellow),
    label(label15, picture2, 360, 1440, 1935, 255, "ПОЛНАЯ ЭНЕРГИЯ =", fonts::heading, black,
          yellow),
    label(label14, picture2, 360, 840, 2415, 255, "СКОРОСТЬ ЭЛЕКТРОНА =", fonts::heading, black,
          yellow),
    label(label13, picture2, 3840, 240, 630, 255, "·10⁻¹¹ м", fonts::heading, black, yellow),
    label(label12, picture2, 2760, 240, 735, 255, "5,28", fonts::value, black, yellow),
    label(label11, picture2, 360, 240, 2175, 255, "РАДИУС ВРАЩЕНИЯ =", fonts::heading, black,
          yellow),

    // The level diagram and the wavelength list. The wavelength labels are wide enough for five
    // digits (12363), with the units moved right to make room; Label28 starts clear of Label42.
    label(label48, picture1, 3600, 6240, 375, 255, "нм", fonts::value, black, yellow),
    label(label47, picture1, 3600, 5880, 375, 255, "нм", fonts::value, black, yellow),
    label(label46, picture1, 3600, 5520, 375, 255, "нм", fonts::value, black, yellow),
    label(label45, picture1, 3600, 5160, 375, 255, "нм", fonts::value, black, yellow),
    label(label44, picture1, 2040, 6240, 855, 255, "1  -  5 =", fonts::value, black, yellow),
    label(label43, picture1, 2040, 5880, 855, 255, "1  -  4 =", fonts::value, black, yellow),
    label(label42, picture1, 2040, 5520, 855, 255, "1  -  3 =", fonts::value, black, yellow),
    label(label41, picture1, 2040, 5160, 855, 255, "1  -  2 =", fonts::value, black, yellow),
    label(label40, picture1, 4920, 4200, 255, 255, "1", fonts::standard, black, white),
    line(line6, picture1, 4560, 600, 4560, 4440, 2, c::blue),
    line(line5, picture1, 3480, 960, 3480, 4440, 2, c::blue),
    line(line4, picture1, 2400, 1560, 2400, 4440, 2, c::blue),
    line(line3, picture1, 1440, 2520, 1440, 4440, 2, c::blue),
    label(label39, picture1, 1920, 3720, 615, 255, "", fonts::standard, black, white),
    label(label38, picture1, 4920, 2160, 255, 255, "2", fonts::standard, black, white),
    label(label37, picture1, 4920, 1200, 255, 255, "3", fonts::standard, black, white),
    label(label36, picture1, 4920, 600, 375, 255, "4", fonts::standard, black, white),
    label(label35, picture1, 4920, 240, 255, 255, "5", fonts::standard, black, white),
    label(label34, picture1, 360, 4320, 495, 255, "-13,55", fonts::standard, black, white),
    label(label33, picture1, 360, 2400, 375, 255, "-3,39", fonts::standard, black, white),
    label(label32, picture1, 360, 1440, 375, 255, "-1,51", fonts::standard, black, white),
    label(label31, picture1, 360, 840, 375, 255, "-0,85", fonts::standard, black, white),
    label(label30, picture1, 360, 480, 375, 255, "-0,54", fonts::standard, black, white),
    image(image1, picture1, 240, 240, 5175, 4305, ":/assets/diagram.bmp"),
    label(label29, picture1, 3000, 5880, 600, 255, "97", fonts::value, black, yellow),
    label(label28, picture1, 2895, 5520, 705, 255, "102", fonts::value, black, yellow),
    label(label27, picture1, 3000, 5160, 600, 255, "121", fonts::value, black, yellow),
    label(label10, picture1, 600, 7320, 975, 255, "", fonts::heading, black, yellow),
    label(label9, picture1, 600, 6960, 975, 255, "", fonts::heading, black, yellow),
    label(label8, picture1, 600, 6600, 975, 255, "", fonts::heading, black, yellow),
    label(label7, picture1, 3000, 6240, 600, 255, "95", fonts::value, black, yellow),
    label(label6, picture1, 1440, 6240, 375, 255, "l =", fonts::lambda, black, yellow, centred),
    label(label5, picture1, 1440, 5880, 375, 255, "l =", fonts::lambda, black, yellow, centred),
    label(label4, picture1, 1440, 5520, 375, 255, "l =", fonts::lambda, black, yellow, centred),
    label(label3, picture1, 1440, 5160, 375, 255, "l =", fonts::lambda, black, yellow, centred),
    label(label2, picture1, 240, 4680, 5055, 255, "ДЛИНЫ ВОЛН ПРИ ПЕРЕХОДЕ НА ДАННЫЙ УРОВЕНЬ",
          fonts::heading, red, yellow, centred),
};

constexpr std::array<Name, 5> tabOrder{picture1, picture2, picture3, picture4, option1};

// The option buttons show no caption: the reader says the orbit and the series it selects.
constexpr std::array accessibility{
    host::AccessibleText{form1, "ЛЮМЕРА", "Модель атома водорода по Бору"},
    host::AccessibleText{picture1, "Схема энергетических уровней",
                         "Уровни энергии, переходы серии и длины волн её линий"},
    host::AccessibleText{picture2, "Параметры орбиты",
                         "Радиус вращения, скорость и полная энергия электрона"},
    host::AccessibleText{picture3, "Атом водорода"},
    host::AccessibleText{picture4, "Номер орбиты", "Выбор нижнего уровня спектральной серии"},
    host::AccessibleText{image1, "Схема энергетических уровней"},
    host::AccessibleText{option1, "Орбита 1", "Серия Лаймана: переходы на уровень 1"},
    host::AccessibleText{option2, "Орбита 2", "Серия Бальмера: переходы на уровень 2"},
    host::AccessibleText{option3, "Орбита 3", "Серия Пашена: переходы на уровень 3"},
    host::AccessibleText{option4, "Орбита 4", "Серия Брэкета: переходы на уровень 4"},
    host::AccessibleText{option5, "Орбита 5", "Серия Пфунда: переходы на уровень 5"},
    host::AccessibleText{option6, "Орбита 6", "Серия Хэмфри: переходы на уровень 6"},
};

// A figure is read with its caption and unit, as a person reads the row.
constexpr std::array diagramPhrases{
    host::Phrase{label35, "Уровень {Label35}: {Label30} эВ"},
    host::Phrase{label36, "Уровень {Label36}: {Label31} эВ"},
    host::Phrase{label37, "Уровень {Label37}: {Label32} эВ"},
    host::Phrase{label38, "Уровень {Label38}: {Label33} эВ"},
    host::Phrase{label40, "Уровень {Label40}: {Label34} эВ"},
    host::Phrase{label2, "{Label2}"},
    host::Phrase{label3, "λ, {Label41} {Label27} {Label45}"},
    host::Phrase{label4, "λ, {Label42} {Label28} {Label46}"},
    host::Phrase{label5, "λ, {Label43} {Label29} {Label47}"},
    host::Phrase{label6, "λ, {Label44} {Label7} {Label48}"},
};
constexpr std::array orbitPhrases{
    host::Phrase{label11, "{Label11} {Label12} на десять в минус одиннадцатой степени метра"},
    host::Phrase{label14, "{Label14} {Label16} {Label18}"},
    host::Phrase{label15, "{Label15} {Label17} {Label19}"},
};
// The option buttons say their own names, in the order they are seen.
constexpr std::array seriesPhrases{
    host::Phrase{option1, ""}, host::Phrase{option2, ""}, host::Phrase{option3, ""},
    host::Phrase{option4, ""}, host::Phrase{option5, ""}, host::Phrase{option6, ""},
};
constexpr std::array readingOrder{
    host::ReadingStop{label1},
    host::ReadingStop{picture1, diagramPhrases},
    host::ReadingStop{picture3},
    host::ReadingStop{picture2, orbitPhrases},
    host::ReadingStop{picture4, seriesPhrases},
};

constexpr host::FormSpec window{
    .name = form1,
    .caption = "ЛЮМЕРА",
    .background = c::windowBlue,
    .font = fonts::standard,
    .restoredWidth = 7035,
    .restoredHeight = 5610,
    .icon = ":/assets/lumera.ico",
    .controls = controls,
    .tabOrder = tabOrder,
    .accessibility = accessibility,
    .readingOrder = readingOrder,
};

} // namespace

const host::FormSpec& form1Description() {
    return window;
}

} // namespace ui
