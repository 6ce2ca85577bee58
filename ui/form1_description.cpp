// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "ui/form1_description.h"
#include "ui/palette.h"

#include <array>

namespace ui {

namespace {

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
constexpr ControlSpec option(const char* name, int l, bool selected) {
    return host::rows::option(name, "Frame1", l, 720, 255, 255, c::panelYellow, selected);
}

constexpr Bgr yellow = c::panelYellow;
constexpr Bgr black = c::black;
constexpr Bgr white = c::white;
constexpr Bgr red = c::red;

// Front to back within each container.
constexpr std::array controls{
    // On the window.
    timer("Timer1", false, 10),
    control("Picture4", Kind::PictureBox, "", 7560, 8520, 6735, 1935, yellow),
    control("Picture3", Kind::PictureBox, "", 7560, 1560, 6775, 6775, white),
    control("Picture2", Kind::PictureBox, "", 1320, 8520, 5775, 1935, yellow),
    control("Picture1", Kind::PictureBox, "", 1320, 1560, 5715, 6735, yellow),
    label("Label1", "", 3600, 360, 9135, 1095, "ЛЮМЕРА", fonts::title, red, c::windowBlue, centred),

    // The atom picture: the nucleus.
    line("Line2", "Picture3", 3240, 3360, 3480, 3360, 1, black),
    line("Line1", "Picture3", 3360, 3240, 3360, 3480, 1, black),
    shape("Shape1", "Picture3", 3174, 3180, 375, 375, red, black),

    // The series panel.
    control("Frame1", Kind::Frame, "Picture4", 120, 600, 6375, 975, yellow),
    label("Label20", "Picture4", 2280, 240, 1695, 255, "НОМЕР ОРБИТЫ ", fonts::heading, red,
          yellow),
    option("Option6", 5880, false),
    option("Option5", 4800, false),
    option("Option4", 3720, false),
    option("Option3", 2520, false),
    option("Option2", 1440, false),
    option("Option1", 360, true),
    label("Label26", "Frame1", 5880, 120, 495, 375, "6", fonts::digit, black, yellow),
    label("Label25", "Frame1", 4800, 120, 495, 375, "5", fonts::digit, black, yellow),
    label("Label24", "Frame1", 3720, 120, 255, 375, "4", fonts::digit, black, yellow),
    label("Label23", "Frame1", 2520, 120, 495, 375, "3", fonts::digit, black, yellow),
    label("Label22", "Frame1", 1440, 120, 255, 375, "2", fonts::digit, black, yellow),
    label("Label21", "Frame1", 360, 120, 255, 375, "1", fonts::digit, black, yellow, centred),

    // The orbit fields.
    label("Label19", "Picture2", 3840, 1440, 375, 255, "эВ", fonts::heading, black, yellow),
    label("Label18", "Picture2", 3840, 840, 495, 255, "Мм/с", fonts::heading, black, yellow),
    label("Label17", "Picture2", 2400, 1440, 735, 255, "- 13,55", fonts::value, black, yellow),
    label("Label16", "Picture2", 3120, 840, 735, 255, "2,18", fonts::value, black, yellow),
    label("Label15", "Picture2", 360, 1440, 1935, 255, "ПОЛНАЯ ЭНЕРГИЯ =", fonts::heading, black,
          yellow),
    label("Label14", "Picture2", 360, 840, 2415, 255, "СКОРОСТЬ ЭЛЕКТРОНА =", fonts::heading, black,
          yellow),
    label("Label13", "Picture2", 3840, 240, 630, 255, "·10⁻¹¹ м", fonts::heading, black, yellow),
    label("Label12", "Picture2", 2760, 240, 735, 255, "5,28", fonts::value, black, yellow),
    label("Label11", "Picture2", 360, 240, 2175, 255, "РАДИУС ВРАЩЕНИЯ =", fonts::heading, black,
          yellow),

    // The level diagram and the wavelength list. The wavelength labels are wide enough for five
    // digits (12363), with the units moved right to make room; Label28 starts clear of Label42.
    label("Label48", "Picture1", 3600, 6240, 375, 255, "нм", fonts::value, black, yellow),
    label("Label47", "Picture1", 3600, 5880, 375, 255, "нм", fonts::value, black, yellow),
    label("Label46", "Picture1", 3600, 5520, 375, 255, "нм", fonts::value, black, yellow),
    label("Label45", "Picture1", 3600, 5160, 375, 255, "нм", fonts::value, black, yellow),
    label("Label44", "Picture1", 2040, 6240, 855, 255, "1  -  5 =", fonts::value, black, yellow),
    label("Label43", "Picture1", 2040, 5880, 855, 255, "1  -  4 =", fonts::value, black, yellow),
    label("Label42", "Picture1", 2040, 5520, 855, 255, "1  -  3 =", fonts::value, black, yellow),
    label("Label41", "Picture1", 2040, 5160, 855, 255, "1  -  2 =", fonts::value, black, yellow),
    label("Label40", "Picture1", 4920, 4200, 255, 255, "1", fonts::standard, black, white),
    line("Line6", "Picture1", 4560, 600, 4560, 4440, 2, c::blue),
    line("Line5", "Picture1", 3480, 960, 3480, 4440, 2, c::blue),
    line("Line4", "Picture1", 2400, 1560, 2400, 4440, 2, c::blue),
    line("Line3", "Picture1", 1440, 2520, 1440, 4440, 2, c::blue),
    label("Label39", "Picture1", 1920, 3720, 615, 255, "", fonts::standard, black, white),
    label("Label38", "Picture1", 4920, 2160, 255, 255, "2", fonts::standard, black, white),
    label("Label37", "Picture1", 4920, 1200, 255, 255, "3", fonts::standard, black, white),
    label("Label36", "Picture1", 4920, 600, 375, 255, "4", fonts::standard, black, white),
    label("Label35", "Picture1", 4920, 240, 255, 255, "5", fonts::standard, black, white),
    label("Label34", "Picture1", 360, 4320, 495, 255, "-13,55", fonts::standard, black, white),
    label("Label33", "Picture1", 360, 2400, 375, 255, "-3,39", fonts::standard, black, white),
    label("Label32", "Picture1", 360, 1440, 375, 255, "-1,51", fonts::standard, black, white),
    label("Label31", "Picture1", 360, 840, 375, 255, "-0,85", fonts::standard, black, white),
    label("Label30", "Picture1", 360, 480, 375, 255, "-0,54", fonts::standard, black, white),
    image("Image1", "Picture1", 240, 240, 5175, 4305, ":/assets/diagram.bmp"),
    label("Label29", "Picture1", 3000, 5880, 600, 255, "97", fonts::value, black, yellow),
    label("Label28", "Picture1", 2895, 5520, 705, 255, "102", fonts::value, black, yellow),
    label("Label27", "Picture1", 3000, 5160, 600, 255, "121", fonts::value, black, yellow),
    label("Label10", "Picture1", 600, 7320, 975, 255, "", fonts::heading, black, yellow),
    label("Label9", "Picture1", 600, 6960, 975, 255, "", fonts::heading, black, yellow),
    label("Label8", "Picture1", 600, 6600, 975, 255, "", fonts::heading, black, yellow),
    label("Label7", "Picture1", 3000, 6240, 600, 255, "95", fonts::value, black, yellow),
    label("Label6", "Picture1", 1440, 6240, 375, 255, "l =", fonts::lambda, black, yellow, centred),
    label("Label5", "Picture1", 1440, 5880, 375, 255, "l =", fonts::lambda, black, yellow, centred),
    label("Label4", "Picture1", 1440, 5520, 375, 255, "l =", fonts::lambda, black, yellow, centred),
    label("Label3", "Picture1", 1440, 5160, 375, 255, "l =", fonts::lambda, black, yellow, centred),
    label("Label2", "Picture1", 240, 4680, 5055, 255, "ДЛИНЫ ВОЛН ПРИ ПЕРЕХОДЕ НА ДАННЫЙ УРОВЕНЬ",
          fonts::heading, red, yellow, centred),
};

constexpr std::array<const char*, 5> tabOrder{"Picture1", "Picture2", "Picture3", "Picture4",
                                              "Option1"};

// The option buttons show no caption: the reader says the orbit and the series it selects.
constexpr std::array accessibility{
    host::AccessibleText{"Form1", "ЛЮМЕРА", "Модель атома водорода по Бору"},
    host::AccessibleText{"Picture1", "Схема энергетических уровней",
                         "Уровни энергии, переходы серии и длины волн её линий"},
    host::AccessibleText{"Picture2", "Параметры орбиты",
                         "Радиус вращения, скорость и полная энергия электрона"},
    host::AccessibleText{"Picture3", "Атом водорода"},
    host::AccessibleText{"Picture4", "Номер орбиты", "Выбор нижнего уровня спектральной серии"},
    host::AccessibleText{"Image1", "Схема энергетических уровней"},
    host::AccessibleText{"Option1", "Орбита 1", "Серия Лаймана: переходы на уровень 1"},
    host::AccessibleText{"Option2", "Орбита 2", "Серия Бальмера: переходы на уровень 2"},
    host::AccessibleText{"Option3", "Орбита 3", "Серия Пашена: переходы на уровень 3"},
    host::AccessibleText{"Option4", "Орбита 4", "Серия Брэкета: переходы на уровень 4"},
    host::AccessibleText{"Option5", "Орбита 5", "Серия Пфунда: переходы на уровень 5"},
    host::AccessibleText{"Option6", "Орбита 6", "Серия Хэмфри: переходы на уровень 6"},
};

// A figure is read with its caption and unit, as a person reads the row.
constexpr std::array diagramPhrases{
    host::Phrase{"Label35", "Уровень {Label35}: {Label30} эВ"},
    host::Phrase{"Label36", "Уровень {Label36}: {Label31} эВ"},
    host::Phrase{"Label37", "Уровень {Label37}: {Label32} эВ"},
    host::Phrase{"Label38", "Уровень {Label38}: {Label33} эВ"},
    host::Phrase{"Label40", "Уровень {Label40}: {Label34} эВ"},
    host::Phrase{"Label2", "{Label2}"},
    host::Phrase{"Label3", "λ, {Label41} {Label27} {Label45}"},
    host::Phrase{"Label4", "λ, {Label42} {Label28} {Label46}"},
    host::Phrase{"Label5", "λ, {Label43} {Label29} {Label47}"},
    host::Phrase{"Label6", "λ, {Label44} {Label7} {Label48}"},
};
constexpr std::array orbitPhrases{
    host::Phrase{"Label11", "{Label11} {Label12} на десять в минус одиннадцатой степени метра"},
    host::Phrase{"Label14", "{Label14} {Label16} {Label18}"},
    host::Phrase{"Label15", "{Label15} {Label17} {Label19}"},
};
// The option buttons say their own names, in the order they are seen.
constexpr std::array seriesPhrases{
    host::Phrase{"Option1", ""}, host::Phrase{"Option2", ""}, host::Phrase{"Option3", ""},
    host::Phrase{"Option4", ""}, host::Phrase{"Option5", ""}, host::Phrase{"Option6", ""},
};
constexpr std::array readingOrder{
    host::ReadingStop{"Label1"},
    host::ReadingStop{"Picture1", diagramPhrases},
    host::ReadingStop{"Picture3"},
    host::ReadingStop{"Picture2", orbitPhrases},
    host::ReadingStop{"Picture4", seriesPhrases},
};

constexpr host::FormSpec form1{
    .name = "Form1",
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
    return form1;
}

} // namespace ui
