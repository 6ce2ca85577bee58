// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "host/platform/wayland_decorations.h"

#if LUMERA_WITH_WAYLAND
#include <wayland-client.h>
#endif

namespace host {

bool leaveDecorationsToCompositor(const QByteArrayList& globals, const QByteArray& userIntegration,
                                  const QByteArray& userDecorationChoice) {
    // Qt 6.4 draws its own title bar only with its OpenGL client loaded (Mesa's, about 19 MB of
    // private memory here), and loads it only to ask whether it may draw one. Where the
    // compositor draws the title bar (KWin, sway) nothing visible changes without it; where it
    // does not (GNOME, weston) the user keeps Qt's title bar and its close button.
    return userIntegration.isEmpty() && userDecorationChoice.isEmpty() &&
           globals.contains(QByteArrayLiteral("zxdg_decoration_manager_v1"));
}

#if LUMERA_WITH_WAYLAND
namespace {

void addGlobal(void* data, wl_registry*, std::uint32_t, const char* interface, std::uint32_t) {
    static_cast<QByteArrayList*>(data)->append(QByteArray(interface));
}

void removeGlobal(void*, wl_registry*, std::uint32_t) {}

} // namespace

QByteArrayList waylandGlobals() {
    QByteArrayList globals;
    // WAYLAND_DISPLAY, or libwayland's own default; a connection of our own, closed at once.
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        return globals;
    }
    static const wl_registry_listener listener{addGlobal, removeGlobal};
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &listener, &globals);
    if (wl_display_roundtrip(display) < 0) {
        globals.clear();
    }
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return globals;
}
#else
QByteArrayList waylandGlobals() {
    return {};
}
#endif

} // namespace host
