#pragma once

#include "platform/window/Window.h"

namespace glassfalls {

// Microphone capture in 100 ms blocks. Until capture lands (issue 6) no block ever arrives,
// which is how the piece behaves without a microphone.
class WaveCapture {
public:
    bool open(platform::Window& window) {
        (void)window;
        return false;
    }
};

}  // namespace glassfalls
