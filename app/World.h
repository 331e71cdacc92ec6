#pragma once

#include <array>
#include <cstdint>

#include "app/LightMask.h"
#include "app/ScreenFade.h"
#include "performer/SpectrumAnalyser.h"
#include "render/Ground.h"
#include "render/ScreenPictures.h"
#include "render/SphereGroup.h"
#include "render/TitleMesh.h"
#include "trail/RipplePool.h"

namespace glassfalls {

class Application;
class MidiOut;

// Everything the two scenes update and draw. One instance, made on first use during
// start-up and destroyed at exit, after the application. Main thread only.
class World {
public:
    static World& instance();

    // Loads what the scenes draw from the application's data directory, in a fixed order.
    // On failure the application's failure message names the file.
    bool init(Application* application, int width, int height);

    Application* application = nullptr;  // not owned
    SpectrumAnalyser spectrum;            // 1024 points over micSamples
    SphereGroup* group = nullptr;         // the single instance, not owned
    RipplePool ripples;
    BackgroundSprite background;
    MidiOut* midiOut = nullptr;           // the application's, not owned
    TitleMesh titleMesh;
    TitleSprite titlePicture;
    CopyRightSprite copyRight;
    Ground ground;
    LightMask lightMask;
    ScreenFade fade;
    // The last microphone block: 800 signed 16-bit samples in the first 1600 bytes; the rest
    // stays zero so that the 1024-point analysis sees silence past the block.
    std::array<uint8_t, 3200> micSamples{};
};

}  // namespace glassfalls
