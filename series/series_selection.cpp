// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "series/series_selection.h"

#include "host/controls/label.h"
#include "host/controls/line.h"
#include "host/controls/option_button.h"
#include "host/form/window.h"
#include "series/number_text.h"
#include "series/series_table.h"
#include "ui/series_fields.h"

namespace series {

namespace {

template <class Control, std::size_t N>
std::array<Control*, N> controls(const host::Window& form,
                                 const std::array<const char*, N>& names) {
    std::array<Control*, N> found{};
    for (std::size_t i = 0; i < N; ++i) {
        found.at(i) = &form.control<Control>(names.at(i));
    }
    return found;
}

} // namespace

SeriesFields SeriesFields::of(const host::Window& form) {
    const ui::SeriesFieldNames& names = ui::seriesFieldNames;
    const auto label = [&form](const char* name) { return &form.control<host::Label>(name); };
    return SeriesFields{
        .wavelengths = controls<host::Label>(form, names.wavelengths),
        .radius = label(names.radius),
        .speed = label(names.speed),
        .energy = label(names.energy),
        .levelEnergies = controls<host::Label>(form, names.levelEnergies),
        .levelNumbers = controls<host::Label>(form, names.levelNumbers),
        .marks = controls<host::Line>(form, names.marks),
        .transitions = controls<host::Label>(form, names.transitions),
    };
}

void selectSeries(const host::OptionButton& own, const SeriesColumn& column,
                  ui::AnimationState& state, const SeriesFields& fields) {
    if (!own.Value()) {
        return;
    }
    state.pathRadius = column.radius;
    state.orbitRadius = column.radius;
    state.delayCount = column.delayCount;

    for (std::size_t i = 0; i < fields.wavelengths.size(); ++i) {
        fields.wavelengths[i]->setCaption(integerText(column.wavelengths[i]));
    }
    fields.radius->setCaption(decimalText(column.rotationRadius));
    fields.speed->setCaption(decimalText(column.speed));
    fields.energy->setCaption(decimalText(column.energy));
    for (std::size_t i = 0; i < fields.levelEnergies.size(); ++i) {
        fields.levelEnergies[i]->setCaption(decimalText(column.levelEnergies[i]));
    }
    for (std::size_t i = 0; i < fields.levelNumbers.size(); ++i) {
        fields.levelNumbers[i]->setCaption(integerText(column.levelNumbers[i]));
    }
    for (std::size_t i = 0; i < fields.marks.size(); ++i) {
        fields.marks[i]->setBorderColor(column.lineColours[i]);
    }
    for (std::size_t i = 0; i < fields.transitions.size(); ++i) {
        fields.transitions[i]->setCaption(QString::fromUtf8(column.transitions[i]));
    }
}

} // namespace series
