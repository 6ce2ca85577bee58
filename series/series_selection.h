// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// The routine behind the six option handlers: the Animation state and every field of one column.
#pragma once

#include "ui/animation_state.h"

#include <array>

namespace host {
class Label;
class Line;
class OptionButton;
class Window;
} // namespace host

namespace series {

struct SeriesColumn;

// The controls a choice of series writes, in the order they are written; their names and
// meaning are ui::seriesFieldNames.
struct SeriesFields {
    std::array<host::Label*, 4> wavelengths;
    host::Label* radius;
    host::Label* speed;
    host::Label* energy;
    std::array<host::Label*, 5> levelEnergies;
    std::array<host::Label*, 5> levelNumbers;
    std::array<host::Line*, 4> marks;
    std::array<host::Label*, 4> transitions;

    [[nodiscard]] static SeriesFields of(const host::Window& form);
};

// Does nothing unless `own` is the selected button; then writes the state and the fields.
void selectSeries(const host::OptionButton& own, const SeriesColumn& column,
                  ui::AnimationState& state, const SeriesFields& fields);

} // namespace series
