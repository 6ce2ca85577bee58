// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// The reading order as data: the stops of a screen reader's walk and the phrases they hold.
#pragma once

#include <span>

namespace host {

// One figure as a screen reader says it: `pattern`, with each {Name} replaced by what the label
// of that name shows, is the accessible name of `control`.
struct Phrase {
    const char* control;
    const char* pattern;
};

// One stop of a screen reader's walk through the window: a control read by its own name, or a
// panel read as a named grouping of phrases.
struct ReadingStop {
    const char* control;
    std::span<const Phrase> phrases = {};
};

} // namespace host
