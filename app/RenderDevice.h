#pragma once

#include "platform/window/Window.h"

namespace glassfalls {

// The drawing device for the window. Until the OpenGL backend lands (issue 4) it draws
// nothing and always succeeds, so that the rest of the piece can run.
class RenderDevice {
public:
    bool create(platform::Window& window, int width, int height, bool windowed) {
        (void)window, (void)width, (void)height, (void)windowed;
        return true;
    }
};

}  // namespace glassfalls
