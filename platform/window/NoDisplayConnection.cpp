// SPDX-License-Identifier: GPL-3.0-or-later
// For a build without the X11 and Wayland helpers: the display connection cannot be watched,
// so the loop's wait asks SDL itself now and again.
#include "platform/window/DisplayEvents.h"

namespace glassfalls::platform {

DisplayEvents displayConnectionOf(SDL_Window*) { return {}; }

}  // namespace glassfalls::platform
