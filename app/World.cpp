#include "app/World.h"

#include <fstream>

#include "app/Application.h"

namespace glassfalls {

namespace {

// The files the world's members load. Each is checked here until its loader exists, so that
// a broken installation is reported at start-up rather than half-way through a show.
constexpr const char* kRequiredFiles[] = {
    "background.bmp", "title.x", "title.bmp", "title.png", "CopyRight.png",
    "spheremap.bmp",  "ground.bmp",
};

}  // namespace

World& World::instance() {
    static World world;
    return world;
}

bool World::init(Application* app, int width, int height) {
    (void)width, (void)height;
    application = app;
    if (!spectrum.init(1024)) return app->fail("cannot set up the spectrum analyser");
    for (const char* name : kRequiredFiles) {
        const std::string path = app->dataPath(name);
        if (!std::ifstream(path, std::ios::binary)) {
            return app->fail("cannot read " + path + " (is --data pointing at the data directory?)");
        }
    }
    return true;
}

}  // namespace glassfalls
