#include "performer/SphereGroup.h"

#include <cmath>
#include <cstdlib>

#include "math/Angles.h"

namespace glassfalls {

bool SphereGroup::init(Surroundings* surroundings, platform::gfx::GraphicsDevice& device,
                       const std::string& sphereMapFile, const std::string& scoreFile) {
    std::srand(6);
    sphereMap.loadFromFile(device, sphereMapFile);
    for (int i = 0; i < kPerformers; ++i) {
        Performer& performer = performers[static_cast<size_t>(i)];
        const float degrees = static_cast<float>(i * 45);
        const float radians = degrees * kDegreesToRadians;
        const Vector3 start{std::cos(radians) * 12.0f, 0.0f, std::sin(radians) * 12.0f};
        if (!performer.init(surroundings, kCapacity, scoreFile)) return false;
        performer.active = true;
        // Moved in its own, already turned frame: every performer ends at (12, 0, 0) and
        // they differ only in how they are turned.
        performer.turn(false, degrees);
        performer.move(start);
    }
    return true;
}

void SphereGroup::draw(platform::gfx::GraphicsDevice& device, const Matrix4& parent, float) {
    for (Performer& performer : performers) performer.place(device, parent);
    device.setTransform(platform::gfx::TransformState::World, parent);
}

bool SphereGroup::anyClosing() const {
    for (const Performer& performer : performers) {
        if (performer.closing) return true;
    }
    return false;
}

}  // namespace glassfalls
