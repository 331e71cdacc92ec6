// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

struct SDL_Window;

namespace glassfalls::platform {

// Where SDL's video driver reads the window system's events for a window from.
struct DisplayEvents {
    // The display connection's descriptor (X11, Wayland); -1 where there is none to watch.
    int descriptor = -1;
    // False for a driver that reads events from elsewhere (the console's input devices), or
    // one not known here: a wait must then ask SDL itself now and again.
    bool complete = false;
};
DisplayEvents displayEventsOf(SDL_Window* window);
// The same for a window of a real window system, through its display connection.
DisplayEvents displayConnectionOf(SDL_Window* window);

// True when SDL's current video driver shows nothing (off-screen, dummy): no window system.
bool videoDriverShowsNothing();

}  // namespace glassfalls::platform
