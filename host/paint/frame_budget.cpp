// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "host/paint/frame_budget.h"

#include <algorithm>

namespace host {

FrameBudget::Duration FrameBudget::dueAt() const {
    if (!m_lastEnd) {
        return Duration{0};
    }
    const Duration rest = std::clamp<Duration>(m_lastCost * restPerFlush, m_frame,
                                               std::max<Duration>(m_frame, longestRest));
    return *m_lastEnd + rest;
}

void FrameBudget::flushed(Duration start, Duration end) {
    m_lastEnd = end;
    m_lastCost = end - start;
}

} // namespace host
