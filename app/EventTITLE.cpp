#include "app/EventTITLE.h"

#include <algorithm>

#include "app/World.h"
#include "math/MatrixBuilders.h"
#include "platform/input/Keyboard.h"

namespace glassfalls {

Scene EventTITLE::update() {
    if (!context.showing()) return Scene::Title;
    inputStep();
    frameStep();
    if (phase != 2) return Scene::Title;
    context.world().setFrameInterval(kPerformanceFrameInterval);
    return Scene::Performance;
}

void EventTITLE::inputStep() {
    // Escape ends the piece from the title; it does not skip to the performance. The window
    // stays until this frame has been presented into it.
    if (context.keys().isDown(platform::Key::Escape)) context.requestClose();
    // The model drops on while the device is lost; only its drawing waits.
    TitleMesh& titleMesh = context.world().titleMesh;
    titleMesh.place(*context.renderDevice().device, Matrix4::identity());
    titleMesh.step();
}

void EventTITLE::frameStep() {
    // While the device is lost nothing is drawn and the title waits where it is.
    RenderDevice& renderDevice = context.renderDevice();
    renderDevice.drawScene([this] {
        step();
        draw();
    });
    // The last title frame leaves its bright points in the light of the performance. Each
    // sample starts the mask afresh and the mask is drawn only in the performance, so earlier
    // frames' samples would change nothing, and reading a frame waits until it is drawn.
    if (phase == 2 && renderDevice.backBuffer) {
        context.world().lightMask.capture(*renderDevice.device, *renderDevice.backBuffer);
    }
    context.presentFrame();
}

void EventTITLE::step() {
    World& world = context.world();
    world.ripples.update();
    world.titleMesh.startRipples(world.ripples);
    world.ripples.followTurn(0.0f);
    phaseStep();
}

void EventTITLE::draw() const {
    using namespace platform::gfx;
    GraphicsDevice& device = *context.renderDevice().device;
    const World& world = context.world();
    const Matrix4 identity = Matrix4::identity();
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
    if (shown_.performanceBegins) prepareThePerformance();
}

void EventTITLE::prepareThePerformance() const {
    using namespace platform::gfx;
    GraphicsDevice& device = *context.renderDevice().device;
    device.setTransform(TransformState::View, matrixLookAtLH({0, 48, -96}, {0, 0, 64}, {0, 1, 0}));
    // This light stays for the whole performance; only a device reset replaces it.
    device.setLight(0, whiteDirectionalLight({1, 1, -1}));
    device.lightEnable(0, true);
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
                shown_.performanceBegins = true;
            }
            break;
        default: break;
    }
}

}  // namespace glassfalls
