// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/window/WaylandSeat.h"

#include <wayland-client.h>

#include <cstring>

namespace glassfalls::platform {

namespace {

void announced(void* data, wl_registry*, uint32_t, const char* interface, uint32_t) {
    if (std::strcmp(interface, wl_seat_interface.name) == 0) *static_cast<bool*>(data) = true;
}

void withdrawn(void*, wl_registry*, uint32_t) {}

const wl_registry_listener kGlobals{announced, withdrawn};

}  // namespace

WaylandSeat askCompositorForSeat(const char* display) {
    wl_display* connection = wl_display_connect(display);
    if (!connection) return WaylandSeat::NoCompositor;
    bool seat = false;
    wl_registry* registry = wl_display_get_registry(connection);
    wl_registry_add_listener(registry, &kGlobals, &seat);
    // One round trip: the compositor announces every global before it answers.
    const bool answered = wl_display_roundtrip(connection) >= 0;
    wl_registry_destroy(registry);
    wl_display_disconnect(connection);
    if (!answered) return WaylandSeat::NoCompositor;
    return seat ? WaylandSeat::Offered : WaylandSeat::Missing;
}

}  // namespace glassfalls::platform
