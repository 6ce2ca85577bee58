#include "series/series_selection.h"

#include "host/label.h"
#include "host/line.h"
#include "host/option_button.h"
#include "host/window.h"
#include "series/number_text.h"
#include "series/series_table.h"

namespace series {

SeriesFields SeriesFields::of(const host::Window& form) {
    const auto label = [&form](const char* name) { return &form.control<host::Label>(name); };
    const auto line = [&form](const char* name) { return &form.control<host::Line>(name); };
    return SeriesFields{
        .wavelengths = {label("Label27"), label("Label28"), label("Label29"), label("Label7")},
        .radius = label("Label12"),
        .speed = label("Label16"),
        .energy = label("Label17"),
        .levelEnergies = {label("Label30"), label("Label31"), label("Label32"), label("Label33"),
                          label("Label34")},
        .levelNumbers = {label("Label35"), label("Label36"), label("Label37"), label("Label38"),
                         label("Label40")},
        .marks = {line("Line3"), line("Line4"), line("Line5"), line("Line6")},
        .transitions = {label("Label41"), label("Label42"), label("Label43"), label("Label44")},
    };
}

void selectSeries(const host::OptionButton& own, const SeriesColumn& column, AnimationState& state,
                  const SeriesFields& fields) {
    if (!own.Value()) {
        return;
    }
    state.pathRadius = column.radius;
    state.orbitRadius = column.radius;
    state.delayCount = column.delayCount;

    for (std::size_t i = 0; i < fields.wavelengths.size(); ++i) {
        fields.wavelengths[i]->setCaption(integerText(column.wavelengths[i]));
    }
    fields.radius->setCaption(decimalText(column.orbitRadiusNm));
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
