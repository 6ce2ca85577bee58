// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// Which of Form1's controls show which figure of a series: the one place that names them.
#pragma once

#include "ui/control_names.h"

#include <array>
#include <cstddef>

namespace ui {

// For lower level n, in the order a choice of series writes them.
struct SeriesFieldNames {
    using Field = names::Name;

    std::array<Field, 4> wavelengths;   // the lines n+1 → n … n+4 → n, in nanometres
    Field radius;                       // the orbit's radius, nm
    Field speed;                        // the electron's speed, Mm/s
    Field energy;                       // its total energy, eV
    std::array<Field, 5> levelEnergies; // levels n+4 … n, top of the diagram first, eV
    std::array<Field, 5> levelNumbers;  // the numbers of those levels
    std::array<Field, 4> marks;         // the transition marks n+1 → n … n+4 → n
    std::array<Field, 4> transitions;   // their captions, "n  -  m ="

    static constexpr std::size_t count = 4 + 3 + 5 + 5 + 4 + 4;

    // Every field, in writing order.
    [[nodiscard]] constexpr std::array<Field, count> inOrder() const {
        std::array<Field, count> all{};
        std::size_t at = 0;
        const auto put = [&](const auto& fields) {
            for (const Field& field : fields) {
                all.at(at++) = field;
            }
        };
        put(wavelengths);
        put(std::array{radius, speed, energy});
        put(levelEnergies);
        put(levelNumbers);
        put(marks);
        put(transitions);
        return all;
    }
};

inline constexpr SeriesFieldNames seriesFieldNames{
    .wavelengths = {names::label27, names::label28, names::label29, names::label7},
    .radius = names::label12,
    .speed = names::label16,
    .energy = names::label17,
    .levelEnergies = {names::label30, names::label31, names::label32, names::label33,
                      names::label34},
    .levelNumbers = {names::label35, names::label36, names::label37, names::label38,
                     names::label40},
    .marks = {names::line3, names::line4, names::line5, names::line6},
    .transitions = {names::label41, names::label42, names::label43, names::label44},
};

} // namespace ui
