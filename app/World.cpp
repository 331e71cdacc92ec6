// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/World.h"

#include <cmath>
#include <cstdio>

#include "math/PieceRandom.h"
#include "render/RenderDevice.h"

namespace glassfalls {

namespace {

// A data file the piece cannot run without.
platform::Expected<void> needed(platform::Expected<void> loaded) {
    if (loaded) return {};
    return platform::failure(loaded.error() + " (is --data pointing at the data directory?)");
}

// Pictures the piece can do without: it says why once and goes on.
void noteMissing(const platform::Expected<void>& loaded, const char* consequence) {
    if (!loaded) std::fprintf(stderr, "glassfalls: %s; %s\n", loaded.error().c_str(), consequence);
}

}  // namespace

platform::Expected<void> World::init(const WorldSetup& setup, const PieceScreen& screen) {
    constexpr int kWidth = static_cast<int>(PieceScreen::kPieceWidth);
    constexpr int kHeight = static_cast<int>(PieceScreen::kPieceHeight);
    frameInterval_ = kTitleFrameInterval;
    filesRead.clear();
    auto dataPath = [this, &setup](const char* name) { return filesRead.emplace_back(setup.dataDir + "/" + name); };
    GLASSFALLS_TRY(heard.init());
    RenderDevice& renderDevice = setup.renderDevice;
    platform::gfx::GraphicsDevice& device = *renderDevice.device;

    GLASSFALLS_TRY(needed(background.create(&renderDevice, kWidth, kHeight, dataPath("background.bmp"))));
    noteMissing(titleMesh.skin.loadFromFile(device, dataPath("title.bmp")),
                "the title model is drawn without its reflections");
    const std::string modelFile = dataPath("title.x");
    if (auto made = titleMesh.loadModel(modelFile); !made) {
        return platform::failure("cannot load " + modelFile + ": " + made.error());
    }
    GLASSFALLS_TRY(needed(titlePicture.create(&renderDevice, screen, dataPath("title.png"))));
    GLASSFALLS_TRY(needed(copyRight.create(&renderDevice, screen, dataPath("CopyRight.png"))));

    midiOut = &setup.midiOut;
    group = std::make_unique<SphereGroup>();
    filesRead.push_back(setup.melodyFile);
    GLASSFALLS_TRY(group->init(this, setup.melodyFile));
    noteMissing(group->sphereMap.loadFromFile(device, dataPath("spheremap.bmp")),
                "the trails are drawn without reflections");
    GLASSFALLS_TRY(ripples.init());

    ground.init(device);
    noteMissing(ground.floorPicture.loadFromFile(device, dataPath("ground.bmp")),
                "the ground is drawn without a picture");
    // The fades cover the whole screen, bars and all.
    fade.init(static_cast<int32_t>(std::ceil(screen.width)), kHeight);
    // The light falls over the upper three fifths of the screen.
    GLASSFALLS_TRY(lightMask.init(device, screen, kHeight / 5 * 3));
    return {};
}

void World::receive(const FrameInput& input) {
    if (input.microphone) heard.hear(*input.microphone);
    if (!input.picture.empty()) waitingPicture = input.picture;
}

void World::showWaitingPicture() {
    if (waitingPicture.size() != Ground::kNetPictureBytes) return;
    ground.showNetPicture(waitingPicture.data());
    waitingPicture.clear();
}

void World::saveState(platform::ByteWriter& out) const {
    heard.saveState(out);
    out.sized(waitingPicture);
    out.u32(frameInterval_);
    out.u32(pieceRandom::position());
    for (const Performer& performer : group->performers) performer.saveState(out);
    ripples.saveState(out);
    titleMesh.saveState(out);
    ground.saveState(out);
    lightMask.saveState(out);
}

void World::loadState(platform::ByteReader& in, platform::gfx::GraphicsDevice& device) {
    heard.loadState(in);
    in.sized(waitingPicture, Ground::kNetPictureBytes);
    in.u32(frameInterval_);
    if (frameInterval_ == 0 || frameInterval_ > 1000)
        in.fail("has a frame interval of " + std::to_string(frameInterval_) + " ms");
    uint32_t randomPosition = 0;
    in.u32(randomPosition);
    pieceRandom::resume(randomPosition);
    for (Performer& performer : group->performers) performer.loadState(in);
    ripples.loadState(in);
    titleMesh.loadState(in);
    ground.loadState(in);
    lightMask.loadState(in, device);
}

}  // namespace glassfalls
