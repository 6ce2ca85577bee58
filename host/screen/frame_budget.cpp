// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "host/screen/frame_budget.h"

#include <algorithm>

namespace host {

bool FrameBudget::due(Duration now) const {
    const Duration rest = std::clamp<Duration>(m_lastCost * restPerFlush, m_frame,
                                               std::max<Duration>(m_frame, longestRest));
    return !m_lastEnd || now - *m_lastEnd >= rest;
}

void FrameBudget::flushed(Duration start, Duration end) {
    m_lastEnd = end;
    m_lastCost = end - start;
}

} // namespace host
