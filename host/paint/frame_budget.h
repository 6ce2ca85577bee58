// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// When a frame-paced flush may go to the compositor: a rule on times alone, with no window.
#pragma once

#include <chrono>
#include <optional>

namespace host {

// When a frame-paced flush is due: a frame after the last one ended, and never so soon that
// flushing could take more than a tenth of the time, however slow the compositor is. One flush
// that waited very long (the window's first) holds back the next by a few hundred milliseconds at
// most.
class FrameBudget {
public:
    using Duration = std::chrono::nanoseconds;

    explicit FrameBudget(Duration frame) : m_frame(frame) {}

    [[nodiscard]] bool due(Duration now) const { return now >= dueAt(); }
    // The earliest time a flush is due; zero before the first.
    [[nodiscard]] Duration dueAt() const;
    void flushed(Duration start, Duration end);

private:
    static constexpr int restPerFlush = 9;
    static constexpr std::chrono::milliseconds longestRest{400};
    Duration m_frame;
    std::optional<Duration> m_lastEnd;
    Duration m_lastCost{0};
};

} // namespace host
