// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/FrameInput.h"
#include "performer/Hearing.h"
#include "performer/SphereGroup.h"
#include "performer/Surroundings.h"
#include "render/Ground.h"
#include "render/LightMask.h"
#include "render/PieceScreen.h"
#include "render/ScreenFade.h"
#include "render/ScreenPictures.h"
#include "render/TitleMesh.h"
#include "trail/RipplePool.h"

namespace glassfalls {

class MidiOut;
class RenderDevice;

// What the world is made with and reaches of the program: the application's, which outlive
// the world.
struct WorldSetup {
    RenderDevice& renderDevice;
    MidiOut& midiOut;
    std::string dataDir;
    std::string melodyFile;  // what the performers follow, if it is there
};

// Everything the two scenes update and draw, and what the performers reach of it. The
// application holds the one world and hands it to the scenes; the world outlives them and
// the performers. Main thread only.
class World final : public Surroundings {
public:
    // Loads what the scenes draw from the data directory, in a fixed order. A failure names
    // the file or the step. The screen pictures are laid out on `screen`.
    platform::Expected<void> init(const WorldSetup& setup, const PieceScreen& screen);
    // What an advance brings from outside, taken whatever the scene does with the rest: the
    // performers hear the newest block, and a picture waits for the performance.
    void receive(const FrameInput& input);
    // Puts the picture that came last on the ground, once.
    void showWaitingPicture();
    // Everything the scenes' steps have changed in the world, for another machine to go on
    // from; the random sequence included.
    void saveState(platform::ByteWriter& out) const;
    void loadState(platform::ByteReader& in, platform::gfx::GraphicsDevice& device);

    RipplePool& waterRipples() override { return ripples; }
    MidiOut* midiOutput() override { return midiOut; }
    void setFrameInterval(uint32_t milliseconds) override { frameInterval_ = milliseconds; }
    // The pace of the scene advances: the title's until a scene or a performer sets another.
    uint32_t frameInterval() const { return frameInterval_; }

    Hearing heard;                        // the latest microphone block
    std::vector<uint8_t> waitingPicture;  // from the network, until the performance shows it
    std::unique_ptr<SphereGroup> group;   // made by init
    RipplePool ripples;
    BackgroundSprite background;
    MidiOut* midiOut = nullptr;  // the application's, not owned
    TitleMesh titleMesh;
    TitleSprite titlePicture;
    CopyRightSprite copyRight;
    Ground ground;
    LightMask lightMask;
    ScreenFade fade;
    float viewTurn = 0;  // degrees the performance's camera is turned about the vertical axis
    // The data files init read, or tried to: what makes this piece the piece it is.
    std::vector<std::string> filesRead;

private:
    uint32_t frameInterval_ = kTitleFrameInterval;
};

}  // namespace glassfalls
