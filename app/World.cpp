// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/World.h"

#include <cstdio>

#include "render/RenderDevice.h"

namespace glassfalls {

namespace {

platform::Failure cannotLoad(const std::string& path) {
    return platform::failure("cannot load " + path + " (is --data pointing at the data directory?)");
}

// Pictures the piece can do without: it says so once and goes on.
void noteMissing(const Texture& texture, const std::string& path, const char* consequence) {
    if (!texture.texture) std::fprintf(stderr, "glassfalls: cannot load %s; %s\n", path.c_str(), consequence);
}

}  // namespace

platform::Expected<void> World::init(const WorldSetup& setup, int width, int height) {
    frameInterval_ = kTitleFrameInterval;
    auto dataPath = [&setup](const char* name) { return setup.dataDir + "/" + name; };
    if (!heard.init()) return platform::failure("cannot set up the spectrum analyser");
    RenderDevice& renderDevice = setup.renderDevice;
    platform::gfx::GraphicsDevice& device = *renderDevice.device;

    const std::string backgroundFile = dataPath("background.bmp");
    if (!background.create(&renderDevice, width, height, backgroundFile)) {
        return cannotLoad(backgroundFile);
    }
    const std::string skinFile = dataPath("title.bmp");
    const std::string modelFile = dataPath("title.x");
    if (auto made = titleMesh.create(device, skinFile, modelFile); !made) {
        return platform::failure("cannot load " + modelFile + ": " + made.error());
    }
    noteMissing(titleMesh.skin, skinFile, "the title model is drawn without its reflections");
    const std::string titleFile = dataPath("title.png");
    if (!titlePicture.create(&renderDevice, width, height, titleFile)) return cannotLoad(titleFile);
    const std::string creditFile = dataPath("CopyRight.png");
    if (!copyRight.create(&renderDevice, width, height, creditFile)) return cannotLoad(creditFile);

    midiOut = &setup.midiOut;
    const std::string sphereMapFile = dataPath("spheremap.bmp");
    group = std::make_unique<SphereGroup>();
    if (!group->init(this, device, sphereMapFile, setup.melodyFile)) {
        return platform::failure("cannot set up the performers");
    }
    noteMissing(group->sphereMap, sphereMapFile, "the trails are drawn without reflections");
    if (!ripples.init()) return platform::failure("cannot set up the ripples");

    const std::string groundFile = dataPath("ground.bmp");
    ground.init(device, groundFile);
    noteMissing(ground.floorPicture, groundFile, "the ground is drawn without a picture");
    fade.init(device, width, height);
    // The light falls over the upper three fifths of the screen.
    if (!lightMask.init(device, width, height / 5 * 3)) return platform::failure("cannot create the light mask");
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

}  // namespace glassfalls
