#pragma once

#include <array>
#include <cstdint>

#include "performer/SpectrumAnalyser.h"

namespace glassfalls {

class Application;

// Everything the two scenes update and draw. One instance, made on first use during
// start-up and destroyed at exit. Main thread only.
class World {
public:
    static World& instance();

    // Loads what the scenes draw from the application's data directory. On failure the
    // application's failure message names the file.
    bool init(Application* application, int width, int height);

    Application* application = nullptr;  // not owned
    SpectrumAnalyser spectrum;            // 1024 points over micSamples
    // The last microphone block: 800 signed 16-bit samples in the first 1600 bytes; the rest
    // stays zero so that the 1024-point analysis sees silence past the block.
    std::array<uint8_t, 3200> micSamples{};
};

}  // namespace glassfalls
