// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "animation/revolution_wait.h"

namespace animation {

RevolutionWait::RevolutionWait(const Pace& pace) : m_pace(pace), m_deadline(pace.now()) {}

void RevolutionWait::wait(std::int32_t passes) {
    if (passes <= 0) {
        return;
    }
    // At most 2^31 passes of a few nanoseconds: far inside the clock's 64-bit range.
    const auto length = m_pace.pass * passes;
    m_deadline += length;
    if (const auto now = m_pace.now(); now - m_deadline > longestCatchUp) {
        m_deadline = now + length;
    }
    m_pace.sleepUntil(m_deadline);
}

} // namespace animation
