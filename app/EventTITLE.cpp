// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/EventTITLE.h"

#include <algorithm>

#include "app/World.h"
#include "math/MatrixBuilders.h"
#include "platform/input/Keyboard.h"
#include "render/RenderDevice.h"
#include "render/StatePresets.h"

namespace glassfalls {

Scene EventTITLE::step(const FrameInput& input) {
    // Escape ends the piece from the title; it does not skip to the performance. The window
    // stays until this frame has been presented into it.
    if (input.isDown(platform::Key::Escape)) context.requestClose();
    World& world = context.world();
    world.titleMesh.step();
    world.ripples.update();
    world.titleMesh.startRipples(world.ripples);
    world.ripples.followTurn(0.0f);
    phaseStep();
    if (phase != 2) return Scene::Title;
    world.setFrameInterval(kPerformanceFrameInterval);
    return Scene::Performance;
}

void EventTITLE::frameDrawn(RenderDevice& renderDevice) {
    // Each sample starts the mask afresh and the mask is drawn only in the performance, so
    // earlier frames' samples would change nothing, and reading a frame waits until it is drawn.
    if (phase == 2 && renderDevice.backBuffer) {
        context.world().lightMask.capture(*renderDevice.device, *renderDevice.backBuffer);
    }
}

void EventTITLE::draw(platform::gfx::GraphicsDevice& device) const {
    using namespace platform::gfx;
    const World& world = context.world();
    const Matrix4 identity = Matrix4::identity();
    device.setTransform(TransformState::View, matrixLookAtLH({0, 96, -24}, {0, 0, 0}, {0, 1, 0}));
    device.setLight(0, whiteDirectionalLight({0, -8, 4}));
    device.lightEnable(0, true);
    // Every title frame before it ended with a fade, which gives back wrapping.
    applyStates(device, statePresets::kWrapAddressing);
    device.setTransform(TransformState::World, world.titleMesh.worldTransform(identity));
    world.titleMesh.drawReflection(device, identity);
    device.clear(clearFlags::ZBuffer, 0xFF000000u, 1.0f, 0);
    device.setRenderState(renderState::CullMode, Cull::CounterClockwise);
    world.titleMesh.draw(device, identity);
    world.titleMesh.drawShadow(device, identity);
    device.setTransform(TransformState::World, identity);
    world.ground.draw(device, 1.0f);
    world.ripples.draw(device);
    // The picture is drawn before the fade, so the fade darkens it too.
    if (shown_.picture) world.titlePicture.drawFaded(device, *shown_.picture);
    if (shown_.fade) world.fade.draw(device, identity, *shown_.fade);
}

void EventTITLE::phaseStep() {
    // A frame shows the picture and the fade at the levels they had before they move on.
    shown_ = {};
    switch (phase) {
        case 0:
            shown_.picture = pictureAlpha;
            shown_.fade = 255 - fadeCounter;
            fadeCounter += 4;
            if (fadeCounter > 255) {
                phase = 1;
                fadeCounter = 0;
            }
            // The picture starts to appear only when the scene is nearly faded in.
            if (fadeCounter > 192) pictureAlpha += 8;
            break;
        case 1:
            shown_.picture = pictureAlpha;
            shown_.fade = fadeCounter;
            fadeCounter += 4;
            pictureAlpha = std::min(pictureAlpha + 8, 255);
            if (fadeCounter > 255) {
                phase = 2;
                fadeCounter = 0;
            }
            break;
        default: break;
    }
}

void EventTITLE::saveState(platform::ByteWriter& out) const {
    out.i32(phase);
    out.i32(fadeCounter);
    out.i32(pictureAlpha);
    saveLevel(out, shown_.picture);
    saveLevel(out, shown_.fade);
}

void EventTITLE::loadState(platform::ByteReader& in) {
    in.i32(phase);
    in.i32(fadeCounter);
    in.i32(pictureAlpha);
    loadLevel(in, shown_.picture);
    loadLevel(in, shown_.fade);
    if (phase < 0 || phase > 2 || fadeCounter < 0 || fadeCounter > 255 || pictureAlpha < 0 || pictureAlpha > 255)
        in.fail("has a title out of range");
}

}  // namespace glassfalls
