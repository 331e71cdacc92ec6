// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/window/DisplayEvents.h"

#include <SDL.h>

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
    return displayConnectionOf(window);
}

}  // namespace glassfalls::platform
