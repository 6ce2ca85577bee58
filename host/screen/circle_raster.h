// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// Draws a one-pixel circle outline straight into an image, and says which pixels it changed.
#pragma once

#include <QImage>
#include <QPointF>
#include <QRect>

namespace host {

// The outline of the circle (centre and radius in the image's device pixels), without
// antialiasing: the same call always sets the same pixels, so a circle drawn again in the
// background colour erases it exactly. Returns the bounding box of the pixels whose colour
// changed (empty when none did). The image must be Format_RGB32.
QRect drawCircleOutline(QImage& image, QPointF centre, double radius, QRgb colour);

} // namespace host
