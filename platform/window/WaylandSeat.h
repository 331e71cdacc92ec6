// SPDX-License-Identifier: GPL-3.0-or-later
// Whether a Wayland compositor offers an input seat, asked of the compositor itself.
#pragma once

namespace glassfalls::platform {

// CannotAsk: the build has no Wayland helpers.
enum class WaylandSeat { Offered, Missing, NoCompositor, CannotAsk };

// Connects to the compositor at `display` (a name in XDG_RUNTIME_DIR or an absolute path;
// nullptr: WAYLAND_DISPLAY's), reads the globals it announces and disconnects.
WaylandSeat askCompositorForSeat(const char* display = nullptr);

}  // namespace glassfalls::platform
