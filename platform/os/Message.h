// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace glassfalls::platform {

// The window messages the application reacts to: the window's own events, turned into these
// and handled one at a time on the main thread, between two frames.
enum class MessageId : uint32_t {
    Close,        // the user or the program asks the window to close
    Destroy,      // the window is going away; the application shuts down
    Quit,         // ends the message loop; wParam is the exit code
    Activate,     // wParam != 0: the window gained focus
    ActivateApp,  // wParam != 0: the program became visible / foreground
    Size,         // the window's size changed
};

struct Message {
    MessageId id;
    uint64_t wParam = 0;
};

}  // namespace glassfalls::platform
