// SPDX-License-Identifier: GPL-3.0-or-later
#include "performer/SphereGroup.h"

#include <algorithm>
#include <cmath>

#include "math/Angles.h"
#include "math/PieceRandom.h"
#include "render/WaterMirror.h"
#include "trail/RipplePool.h"
#include "trail/TrailDrawing.h"

namespace glassfalls {

using namespace platform::gfx;

platform::Expected<void> SphereGroup::init(Surroundings* surroundings, const std::string& scoreFile) {
    pieceRandom::seed(6);
    for (int i = 0; i < kPerformers; ++i) {
        Performer& performer = performers[static_cast<size_t>(i)];
        const float degrees = static_cast<float>(i * 45);
        const float radians = degrees * kDegreesToRadians;
        const Vector3 start{std::cos(radians) * 12.0f, 0.0f, std::sin(radians) * 12.0f};
        GLASSFALLS_TRY(performer.init(surroundings, kCapacity, scoreFile));
        performer.active = true;
        // Moved in its own, already turned frame: every performer ends at (12, 0, 0) and
        // they differ only in how they are turned.
        performer.turn(false, degrees);
        performer.move(start);
    }
    return {};
}

void SphereGroup::step(const Matrix4& parent, const PerformerInput& input) {
    for (Performer& performer : performers) performer.step(parent, input);
}

void SphereGroup::draw(GraphicsDevice& device, const Matrix4& parent, float level) const {
    for (const Performer& performer : performers) {
        device.setTransform(TransformState::World, performer.placement);
        Matrix4 world, view;
        device.getTransform(TransformState::World, world);
        device.getTransform(TransformState::View, view);
        const Matrix4 worldView = world.multiply(view);
        device.setTexture(0, sphereMap.texture.get());
        drawTrailReflection(device, performer.mirroredTrailView(), worldView, level);
        const TrailView trail = performer.trailView();
        device.setRenderState(renderState::SpecularEnable, 1);
        clipAtTheWater(device);
        drawTrail(device, trail, worldView, level, TrailPass::Normal);
        device.setRenderState(renderState::SpecularEnable, 0);
        drawTrailShadow(device, trail, level);
        device.setRenderState(renderState::ClipPlaneEnable, 0);
    }
    device.setTransform(TransformState::World, parent);
}

bool SphereGroup::anyClosing() const {
    for (const Performer& performer : performers) {
        if (performer.closing) return true;
    }
    return false;
}

int32_t SphereGroup::performing() const {
    return static_cast<int32_t>(
        std::count_if(performers.begin(), performers.end(), [](const Performer& p) { return p.started || p.closing; }));
}

}  // namespace glassfalls
