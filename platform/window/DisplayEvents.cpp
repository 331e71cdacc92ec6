// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/window/DisplayEvents.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <wayland-client.h>

#include <string>

namespace glassfalls::platform {

bool videoDriverShowsNothing() {
    const char* name = SDL_GetCurrentVideoDriver();
    const std::string driver = name ? name : "";
    return driver == "offscreen" || driver == "dummy";
}

DisplayEvents displayEventsOf(SDL_Window* window) {
    // Drawing off-screen has no window system: every event is one the program pushes.
    if (videoDriverShowsNothing()) return {-1, true};
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info)) return {};
    if (info.subsystem == SDL_SYSWM_X11) return {XConnectionNumber(info.info.x11.display), true};
    if (info.subsystem == SDL_SYSWM_WAYLAND) return {wl_display_get_fd(info.info.wl.display), true};
    return {};
}

}  // namespace glassfalls::platform
