// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// Which of Form1's controls show which figure of a series: the one place that names them.
#pragma once

#include <array>
#include <cstddef>

namespace ui {

// For lower level n, in the order a choice of series writes them.
struct SeriesFieldNames {
    using Field = const char*;

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
    .wavelengths = {"Label27", "Label28", "Label29", "Label7"},
    .radius = "Label12",
    .speed = "Label16",
    .energy = "Label17",
    .levelEnergies = {"Label30", "Label31", "Label32", "Label33", "Label34"},
    .levelNumbers = {"Label35", "Label36", "Label37", "Label38", "Label40"},
    .marks = {"Line3", "Line4", "Line5", "Line6"},
    .transitions = {"Label41", "Label42", "Label43", "Label44"},
};

} // namespace ui
