// SPDX-License-Identifier: GPL-3.0-or-later
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <wayland-client.h>

#include "platform/window/DisplayEvents.h"

namespace glassfalls::platform {

DisplayEvents displayConnectionOf(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info)) return {};
    if (info.subsystem == SDL_SYSWM_X11) return {XConnectionNumber(info.info.x11.display), true};
    if (info.subsystem == SDL_SYSWM_WAYLAND) return {wl_display_get_fd(info.info.wl.display), true};
    return {};
}

}  // namespace glassfalls::platform
