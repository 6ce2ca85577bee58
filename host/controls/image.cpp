// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "host/controls/image.h"

#include <QPainter>
#include <algorithm>

namespace host {

QImage stretchKeepingInk(const QImage& source, QSize target) {
    const QImage from = source.convertToFormat(QImage::Format_RGB32);
    QImage to(target, QImage::Format_RGB32);
    const int sw = from.width();
    const int sh = from.height();
    const int tw = target.width();
    const int th = target.height();
    if (sw == 0 || sh == 0 || tw == 0 || th == 0) {
        to.fill(Qt::white);
        return to;
    }
    // The source span [begin, end) that target index i covers, never empty.
    const auto span = [](int i, int sourceSize, int targetSize) {
        const int begin = static_cast<int>(static_cast<long long>(i) * sourceSize / targetSize);
        int end = static_cast<int>((static_cast<long long>(i + 1) * sourceSize + targetSize - 1) /
                                   targetSize);
        end = std::clamp(end, begin + 1, sourceSize);
        return std::pair{begin, end};
    };
    for (int ty = 0; ty < th; ++ty) {
        const auto [y0, y1] = span(ty, sh, th);
        auto* out = reinterpret_cast<QRgb*>(to.scanLine(ty));
        for (int tx = 0; tx < tw; ++tx) {
            const auto [x0, x1] = span(tx, sw, tw);
            int r = 255;
            int g = 255;
            int b = 255;
            for (int y = y0; y < y1; ++y) {
                const auto* in = reinterpret_cast<const QRgb*>(from.constScanLine(y));
                for (int x = x0; x < x1; ++x) {
                    r = std::min(r, qRed(in[x]));
                    g = std::min(g, qGreen(in[x]));
                    b = std::min(b, qBlue(in[x]));
                }
            }
            out[tx] = qRgb(r, g, b);
        }
    }
    return to;
}

Image::Image(const QString& name, QImage picture, QWidget* parent)
    : QWidget(parent), m_picture(std::move(picture)) {
    setObjectName(name);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Image::paintEvent(QPaintEvent*) {
    // Stretched from the source at device resolution, so a HiDPI screen gets no blurred copy.
    const qreal ratio = devicePixelRatioF();
    const QSize deviceSize = (QSizeF(size()) * ratio).toSize();
    if (m_stretched.size() != deviceSize) {
        m_stretched = stretchKeepingInk(m_picture, deviceSize);
        m_stretched.setDevicePixelRatio(ratio);
    }
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), m_stretched);
}

} // namespace host
