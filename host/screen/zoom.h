// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// The window's zoom, chosen from its client area whenever that changes size.
#pragma once

#include <QPoint>
#include <QSize>

namespace host {

struct Zoom {
    double factor = 1.0;
    // Where the design's corner lands in the client area.
    QPoint offset;
    bool operator==(const Zoom&) const = default;
};

// The design (its extent with its own margins, in twips) fills the client area as far as it can
// without clipping, keeps its proportions and is centred. It is never shrunk: where it does not
// fit, it stays as designed, at the top-left corner.
[[nodiscard]] Zoom chooseZoom(QSize client, QSize designTwips);

} // namespace host
