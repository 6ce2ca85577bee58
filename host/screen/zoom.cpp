// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "host/screen/zoom.h"

#include "host/screen/units.h"

#include <algorithm>

namespace host {

Zoom chooseZoom(QSize client, QSize designTwips) {
    if (designTwips.isEmpty()) {
        return {};
    }
    const double design = twipsPerPixel;
    const double factor = std::min(client.width() * design / designTwips.width(),
                                   client.height() * design / designTwips.height());
    if (factor <= 1.0) {
        return {};
    }
    const auto margin = [&](int available, int twips) {
        return static_cast<int>(std::lround((available - twips * factor / design) / 2));
    };
    return {factor,
            {margin(client.width(), designTwips.width()),
             margin(client.height(), designTwips.height())}};
}

} // namespace host
