// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// Puts a control's changed pixels straight into its window on the X server, flushed, and keeps the
// toolkit's own copy of the window in step with them.
#pragma once

#include <QRect>
#include <QRegion>
#include <cstdint>
#include <memory>
#include <vector>

class QImage;
class QWidget;

struct xcb_connection_t;

namespace host {

class X11DirectPut {
public:
    // Null unless the application runs on an X server that takes 32-bit pixels as QImage lays
    // them out.
    [[nodiscard]] static std::unique_ptr<X11DirectPut> create();

    X11DirectPut(const X11DirectPut&) = delete;
    X11DirectPut& operator=(const X11DirectPut&) = delete;
    ~X11DirectPut();

    // Sends `deviceRect` of `drawing` (what `control` shows, in device pixels from its corner).
    // False, with nothing sent, where a child control or another widget covers part of the
    // rectangle, or the window is not one it can write: the caller repaints instead.
    [[nodiscard]] bool put(QWidget* control, const QImage& drawing, const QRect& deviceRect);

private:
    X11DirectPut(xcb_connection_t* connection, std::uint32_t maxRequestBytes);

    class LayoutWatch;
    // Where a control lies in its window and which of its pixels nothing else covers, kept until
    // a widget anywhere moves, resizes, shows, hides or is restacked.
    struct Placement {
        const QWidget* control = nullptr;
        std::uint64_t generation = 0;
        QPoint offset;
        // The region told to the toolkit as painted: the whole control.
        QRegion told;
        // Not hidden by the window's edge or by opaque widgets; other children are `covered`.
        QRegion visible;
        std::vector<QRect> covered;
    };

    void place(const QWidget& control);
    [[nodiscard]] bool clearOfOthers(const QWidget& control, const QRect& rect);
    [[nodiscard]] bool takesOurPixels(std::uint32_t window);
    void sendRows(std::uint32_t window, const QImage& drawing, const QRect& source, QPoint target);

    xcb_connection_t* m_connection;
    std::uint32_t m_maxRequestBytes;
    // The window the graphics context was made for; 0 until the first put.
    std::uint32_t m_window = 0;
    bool m_windowTakesOurPixels = false;
    std::uint32_t m_gc = 0;
    std::vector<std::uint32_t> m_rows;
    std::unique_ptr<LayoutWatch> m_watch;
    Placement m_placement;
};

} // namespace host
