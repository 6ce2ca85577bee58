// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "host/paint/x11_direct_put.h"

#include <QApplication>
#include <QBackingStore>
#include <QEvent>
#include <QGuiApplication>
#include <QImage>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#if LUMERA_WITH_XCB
#include <xcb/xcb.h>
#endif

namespace host {

#if LUMERA_WITH_XCB

namespace {

// The only depth written to: a window with an alpha channel has each region the toolkit is told
// of cleared first, which would wipe the whole control.
constexpr std::uint8_t writtenDepth = 24;

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <class T> using Reply = std::unique_ptr<T, FreeReply>;

// The server stores a pixel of this depth in 32 bits, red, green and blue in the bytes QImage's
// Format_RGB32 uses.
bool takesRgb32(const xcb_setup_t* setup, std::uint8_t depth, xcb_visualid_t visual) {
    bool fourBytes = false;
    for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem != 0; xcb_format_next(&f)) {
        if (f.data->depth == depth) {
            fourBytes = f.data->bits_per_pixel == 32 && f.data->scanline_pad == 32;
        }
    }
    if (!fourBytes) {
        return false;
    }
    for (auto s = xcb_setup_roots_iterator(setup); s.rem != 0; xcb_screen_next(&s)) {
        for (auto d = xcb_screen_allowed_depths_iterator(s.data); d.rem != 0; xcb_depth_next(&d)) {
            for (auto v = xcb_depth_visuals_iterator(d.data); v.rem != 0; xcb_visualtype_next(&v)) {
                if (v.data->visual_id == visual) {
                    return v.data->_class == XCB_VISUAL_CLASS_TRUE_COLOR &&
                           v.data->red_mask == 0xff0000u && v.data->green_mask == 0xff00u &&
                           v.data->blue_mask == 0xffu;
                }
            }
        }
    }
    return false;
}

// Copies `source` of `drawing` into the toolkit's image of the window at `target`, so that what
// it later sends of that region (after an expose, say) is what the screen shows now.
bool copyIntoBackingStore(QBackingStore& store, const QImage& drawing, const QRect& source,
                          QPoint target) {
    QPaintDevice* device = store.paintDevice();
    if (device == nullptr || device->devType() != QInternal::Image) {
        return false;
    }
    // Opaque pixels are stored alike in all three (the toolkit takes the premultiplied one for
    // speed even where the window has no alpha).
    auto& image = *static_cast<QImage*>(device);
    const QImage::Format format = image.format();
    if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32 &&
        format != QImage::Format_ARGB32_Premultiplied) {
        return false;
    }
    if (!image.rect().contains(QRect(target, source.size()))) {
        return false;
    }
    const auto rowBytes = static_cast<std::size_t>(source.width()) * 4;
    for (int row = 0; row < source.height(); ++row) {
        std::memcpy(image.scanLine(target.y() + row) + std::ptrdiff_t{target.x()} * 4,
                    drawing.constScanLine(source.y() + row) + std::ptrdiff_t{source.x()} * 4,
                    rowBytes);
    }
    return true;
}

} // namespace

// Counts the changes that can move a control within its window or cover part of it.
class X11DirectPut::LayoutWatch : public QObject {
public:
    LayoutWatch() { qApp->installEventFilter(this); }
    [[nodiscard]] std::uint64_t generation() const { return m_generation; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::ZOrderChange:
        case QEvent::ParentChange:
        case QEvent::ChildAdded:
        case QEvent::ChildRemoved:
            ++m_generation;
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::uint64_t m_generation = 1;
};

void X11DirectPut::place(const QWidget& control) {
    Placement& p = m_placement;
    p = Placement{};
    p.control = &control;
    p.generation = m_watch->generation();
    QWidget* window = control.window();
    p.offset = control.mapTo(window, QPoint());
    p.told = QRegion(control.rect().translated(p.offset));
    // The controls on top of the drawing, and anything else over it, are the toolkit's to draw.
    p.visible = control.visibleRegion();
    for (const QObject* child : control.children()) {
        if (const auto* widget = qobject_cast<const QWidget*>(child);
            widget != nullptr && widget->isVisible()) {
            p.covered.push_back(widget->geometry());
        }
    }
}

bool X11DirectPut::clearOfOthers(const QWidget& control, const QRect& rect) {
    if (m_placement.control != &control || m_placement.generation != m_watch->generation()) {
        place(control);
    }
    const QRegion& visible = m_placement.visible;
    const bool shown = visible.rectCount() == 1 ? visible.boundingRect().contains(rect)
                                                : (QRegion(rect) - visible).isEmpty();
    return shown && std::none_of(m_placement.covered.begin(), m_placement.covered.end(),
                                 [&](const QRect& covered) { return covered.intersects(rect); });
}

std::unique_ptr<X11DirectPut> X11DirectPut::create() {
    auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                                   : nullptr;
    xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
    if (connection == nullptr) {
        return nullptr;
    }
    const bool serverLsbFirst =
        xcb_get_setup(connection)->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST;
    if (serverLsbFirst != (Q_BYTE_ORDER == Q_LITTLE_ENDIAN)) {
        return nullptr;
    }
    const std::uint32_t maxBytes = xcb_get_maximum_request_length(connection) * 4;
    return std::unique_ptr<X11DirectPut>(new X11DirectPut(connection, maxBytes));
}

X11DirectPut::X11DirectPut(xcb_connection_t* connection, std::uint32_t maxRequestBytes)
    : m_connection(connection), m_maxRequestBytes(maxRequestBytes),
      m_watch(std::make_unique<LayoutWatch>()) {}

X11DirectPut::~X11DirectPut() {
    // The connection closes with the application; a context outliving it needs no freeing.
    if (m_gc != 0 && qGuiApp != nullptr) {
        xcb_free_gc(m_connection, m_gc);
    }
}

bool X11DirectPut::takesOurPixels(std::uint32_t window) {
    if (window == m_window) {
        return m_windowTakesOurPixels;
    }
    if (m_gc != 0) {
        xcb_free_gc(m_connection, m_gc);
        m_gc = 0;
    }
    m_window = window;
    m_windowTakesOurPixels = false;
    // Two round trips, once for each window the toolkit makes.
    const Reply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, window), nullptr));
    const Reply<xcb_get_window_attributes_reply_t> attributes(xcb_get_window_attributes_reply(
        m_connection, xcb_get_window_attributes(m_connection, window), nullptr));
    if (!geometry || !attributes || geometry->depth != writtenDepth ||
        !takesRgb32(xcb_get_setup(m_connection), writtenDepth, attributes->visual)) {
        return false;
    }
    m_gc = xcb_generate_id(m_connection);
    const std::uint32_t noExposures = 0;
    xcb_create_gc(m_connection, m_gc, window, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
    m_windowTakesOurPixels = true;
    return true;
}

void X11DirectPut::sendRows(std::uint32_t window, const QImage& drawing, const QRect& source,
                            QPoint target) {
    const auto width = static_cast<std::size_t>(source.width());
    const std::size_t headerBytes = sizeof(xcb_put_image_request_t);
    const int rowsPerRequest =
        std::max(1, static_cast<int>((m_maxRequestBytes - headerBytes) / (width * 4)));
    for (int first = 0; first < source.height(); first += rowsPerRequest) {
        const int rows = std::min(rowsPerRequest, source.height() - first);
        m_rows.resize(width * static_cast<std::size_t>(rows));
        for (int row = 0; row < rows; ++row) {
            std::memcpy(&m_rows[width * static_cast<std::size_t>(row)],
                        drawing.constScanLine(source.y() + first + row) +
                            std::ptrdiff_t{source.x()} * 4,
                        width * 4);
        }
        xcb_put_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, m_gc,
                      static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(rows),
                      static_cast<std::int16_t>(target.x()),
                      static_cast<std::int16_t>(target.y() + first), 0, writtenDepth,
                      static_cast<std::uint32_t>(m_rows.size() * 4),
                      reinterpret_cast<const std::uint8_t*>(m_rows.data()));
    }
}

bool X11DirectPut::put(QWidget* control, const QImage& drawing, const QRect& deviceRect) {
    QWidget* window = control->window();
    if (!control->isVisible() || control->nativeParentWidget() != window ||
        drawing.format() != QImage::Format_RGB32) {
        return false;
    }
    // Whole logical pixels of a whole device pixel ratio, so that both copies agree pixel for
    // pixel with what a repaint would give. The drawing follows its control's ratio.
    const double ratio = drawing.devicePixelRatio();
    const int scale = static_cast<int>(std::lround(ratio));
    if (scale < 1 || ratio != scale) {
        return false;
    }
    const QRect logical = QRect(QPoint(deviceRect.left() / scale, deviceRect.top() / scale),
                                QPoint(deviceRect.right() / scale, deviceRect.bottom() / scale)) &
                          control->rect();
    if (logical.isEmpty()) {
        return false;
    }
    if (!clearOfOthers(*control, logical)) {
        return false;
    }
    const auto xWindow = static_cast<std::uint32_t>(window->winId());
    QBackingStore* store = window->backingStore();
    if (store == nullptr || !takesOurPixels(xWindow)) {
        return false;
    }
    const QRect source(logical.topLeft() * scale, logical.size() * scale);
    const QPoint target = (logical.topLeft() + m_placement.offset) * scale;
    // Told as painted, the region goes to the server with the toolkit's next flush of it. The
    // whole control is told, every time: its image there is always current, and one rectangle
    // stays cheap to add where a thousand small ones a revolution would not.
    store->beginPaint(m_placement.told);
    const bool copied = copyIntoBackingStore(*store, drawing, source, target);
    store->endPaint();
    if (!copied) {
        return false;
    }
    sendRows(xWindow, drawing, source, target);
    xcb_flush(m_connection);
    return true;
}

#else

class X11DirectPut::LayoutWatch {};

std::unique_ptr<X11DirectPut> X11DirectPut::create() {
    return nullptr;
}

// Never made without xcb: only what the pacer that holds one calls.
X11DirectPut::~X11DirectPut() = default;

bool X11DirectPut::put(QWidget*, const QImage&, const QRect&) {
    return false;
}

#endif

} // namespace host
