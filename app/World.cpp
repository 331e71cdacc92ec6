#include "app/World.h"

#include <cstdio>
#include <filesystem>

#include "app/Application.h"

namespace glassfalls {

namespace {

bool cannotLoad(Application* app, const std::string& path) {
    return app->fail("cannot load " + path + " (is --data pointing at the data directory?)");
}

// Pictures the piece can do without: it says so once and goes on.
void noteMissing(const Texture& texture, const std::string& path, const char* consequence) {
    if (!texture.texture) std::fprintf(stderr, "glassfalls: cannot load %s; %s\n", path.c_str(), consequence);
}

}  // namespace

bool World::enterPressed() { return application->keyboard().isDown(platform::Key::Enter); }

void World::setFrameInterval(uint32_t milliseconds) { application->frameInterval = milliseconds; }

bool World::init(Application* app, int width, int height) {
    application = app;
    if (!heard.init()) return app->fail("cannot set up the spectrum analyser");
    RenderDevice& renderDevice = app->renderDevice;
    platform::gfx::GraphicsDevice& device = *renderDevice.device;

    const std::string backgroundFile = app->dataPath("background.bmp");
    if (!background.create(&renderDevice, width, height, backgroundFile)) {
        return cannotLoad(app, backgroundFile);
    }
    const std::string skinFile = app->dataPath("title.bmp");
    const std::string modelFile = app->dataPath("title.x");
    if (!titleMesh.create(device, skinFile, modelFile)) {
        if (!std::filesystem::exists(modelFile)) return cannotLoad(app, modelFile);
        return app->fail("cannot load " + modelFile + ": " + titleMesh.error);
    }
    noteMissing(titleMesh.skin, skinFile, "the title model is drawn without its reflections");
    const std::string titleFile = app->dataPath("title.png");
    if (!titlePicture.create(&renderDevice, width, height, titleFile)) return cannotLoad(app, titleFile);
    const std::string creditFile = app->dataPath("CopyRight.png");
    if (!copyRight.create(&renderDevice, width, height, creditFile)) return cannotLoad(app, creditFile);

    midiOut = &app->midiOut;
    const std::string sphereMapFile = app->dataPath("spheremap.bmp");
    group = std::make_unique<SphereGroup>();
    if (!group->init(this, device, sphereMapFile, app->dataPath("music.dat"))) {
        return app->fail("cannot set up the performers");
    }
    noteMissing(group->sphereMap, sphereMapFile, "the trails are drawn without reflections");
    if (!ripples.init()) return app->fail("cannot set up the ripples");

    const std::string groundFile = app->dataPath("ground.bmp");
    ground.init(device, groundFile);
    noteMissing(ground.floorPicture, groundFile, "the ground is drawn without a picture");
    fade.init(device, width, height);
    // The light falls over the upper three fifths of the screen.
    if (!lightMask.init(device, width, height / 5 * 3)) return app->fail("cannot create the light mask");
    return true;
}

}  // namespace glassfalls
