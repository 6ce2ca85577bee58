// The routine behind the six option handlers: the Animation state and every field of one column.
#pragma once

#include "app/animation_state.h"

#include <array>

namespace host {
class Label;
class Line;
class OptionButton;
class Window;
} // namespace host

namespace series {

struct SeriesColumn;

// The controls a choice of series writes, in the order they are written.
struct SeriesFields {
    std::array<host::Label*, 4> wavelengths;   // Label27, Label28, Label29, Label7
    host::Label* radius;                       // Label12
    host::Label* speed;                        // Label16
    host::Label* energy;                       // Label17
    std::array<host::Label*, 5> levelEnergies; // Label30 … Label34
    std::array<host::Label*, 5> levelNumbers;  // Label35 … Label38, Label40
    std::array<host::Line*, 4> marks;          // Line3 … Line6
    std::array<host::Label*, 4> transitions;   // Label41 … Label44

    [[nodiscard]] static SeriesFields of(const host::Window& form);
};

// Does nothing unless `own` is the selected button; then writes the state and the fields.
void selectSeries(const host::OptionButton& own, const SeriesColumn& column, AnimationState& state,
                  const SeriesFields& fields);

} // namespace series
