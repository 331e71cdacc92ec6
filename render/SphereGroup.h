#pragma once

#include <string>

#include "platform/gfx/GraphicsDevice.h"
#include "render/Texture.h"

namespace glassfalls {

class World;

// The eight performers and the sphere map their trails are drawn with. One instance, made
// on first use. The performers join it with the performer issue.
class SphereGroup {
public:
    static SphereGroup& instance();

    // Seeds the C library's random generator with 6 (every later random draw follows from
    // it) and loads the sphere map; a missing map leaves the trails untextured.
    bool init(World* world, platform::gfx::GraphicsDevice& device, const std::string& sphereMapFile,
              int width, int height);

    Texture sphereMap;
};

}  // namespace glassfalls
