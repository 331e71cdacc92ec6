// SPDX-License-Identifier: GPL-3.0-or-later
// For a build without the X11 and Wayland helpers: the compositor cannot be asked.
#include "platform/window/WaylandSeat.h"

namespace glassfalls::platform {

WaylandSeat askCompositorForSeat(const char*) { return WaylandSeat::CannotAsk; }

}  // namespace glassfalls::platform
