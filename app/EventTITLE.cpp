#include "app/EventTITLE.h"

#include <algorithm>

#include "app/Application.h"
#include "app/SceneDirector.h"

namespace glassfalls {

SceneEvent* EventTITLE::update(SceneDirector& director) {
    if (!application->running || !application->active) return this;
    inputStep();
    frameStep();
    if (phase != 2) return this;
    application->frameInterval = 100;
    return director.find("EventCreate");
}

void EventTITLE::inputStep() {
    // Escape ends the piece from the title; it does not skip to the performance.
    if (application->keyboard().isDown(platform::Key::Escape)) {
        application->sendMessage({platform::MessageId::Close});
    }
}

void EventTITLE::frameStep() {
    RenderDevice& renderDevice = application->renderDevice;
    platform::gfx::GraphicsDevice& device = *renderDevice.device;
    device.clear(platform::gfx::clearFlags::Target | platform::gfx::clearFlags::ZBuffer,
                 0xFF000000u, 1.0f, 0);
    // While the device is lost nothing is drawn and the title waits where it is.
    if (device.beginScene()) {
        drawStep();
        device.endScene();
    }
    renderDevice.presentFrame(application->window());
}

void EventTITLE::drawStep() {
    phaseStep();
}

void EventTITLE::phaseStep() {
    switch (phase) {
        case 0:
            fadeCounter += 4;
            if (fadeCounter > 255) {
                phase = 1;
                fadeCounter = 0;
            }
            // The picture starts to appear only when the scene is nearly faded in.
            if (fadeCounter > 192) pictureAlpha += 8;
            break;
        case 1:
            fadeCounter += 4;
            pictureAlpha = std::min(pictureAlpha + 8, 255);
            if (fadeCounter > 255) {
                phase = 2;
                fadeCounter = 0;
            }
            break;
        default:
            break;
    }
}

}  // namespace glassfalls
