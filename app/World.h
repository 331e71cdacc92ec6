#pragma once

#include <cstdint>
#include <memory>

#include "performer/Hearing.h"
#include "performer/SphereGroup.h"
#include "performer/Surroundings.h"
#include "render/Ground.h"
#include "render/LightMask.h"
#include "render/ScreenFade.h"
#include "render/ScreenPictures.h"
#include "render/TitleMesh.h"
#include "trail/RipplePool.h"

namespace glassfalls {

class Application;
class MidiOut;

// Everything the two scenes update and draw, and what the performers reach of it. The
// application holds the one world and hands it to the scenes; the world outlives them and
// the performers. Main thread only.
class World final : public Surroundings {
public:
    // Loads what the scenes draw from the application's data directory, in a fixed order.
    // On failure the application's failure message names the file.
    bool init(Application* application, int width, int height);

    RipplePool& waterRipples() override { return ripples; }
    Hearing& hearing() override { return heard; }
    MidiOut* midiOutput() override { return midiOut; }
    bool enterPressed() override;
    void setFrameInterval(uint32_t milliseconds) override;

    Application* application = nullptr;  // not owned
    Hearing heard;                        // the latest microphone block
    std::unique_ptr<SphereGroup> group;  // made by init
    RipplePool ripples;
    BackgroundSprite background;
    MidiOut* midiOut = nullptr;           // the application's, not owned
    TitleMesh titleMesh;
    TitleSprite titlePicture;
    CopyRightSprite copyRight;
    Ground ground;
    LightMask lightMask;
    ScreenFade fade;
};

}  // namespace glassfalls
