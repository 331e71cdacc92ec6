#include "render/SphereGroup.h"

#include <cstdlib>

namespace glassfalls {

SphereGroup& SphereGroup::instance() {
    static SphereGroup group;
    return group;
}

bool SphereGroup::init(World*, platform::gfx::GraphicsDevice& device,
                       const std::string& sphereMapFile, int, int) {
    std::srand(6);
    sphereMap.loadFromFile(device, sphereMapFile);
    return true;
}

}  // namespace glassfalls
