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
    // While the device is lost nothing is drawn and the title waits where it is.
    RenderDevice& renderDevice = application->renderDevice;
    renderDevice.drawScene([this] { drawStep(); });
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
