#include "app/EventCreate.h"

#include <cmath>

#include "app/Application.h"
#include "render/Angles.h"

namespace glassfalls {

using platform::Key;

SceneEvent* EventCreate::update(SceneDirector&) {
    if (application->running && application->active) {
        inputStep();
        frameStep();
    }
    return this;
}

Matrix4 EventCreate::turnMatrixFor(float degrees) {
    const float radians = degrees * kDegreesToRadians;
    const float c = std::cos(radians);
    const float s = std::sin(radians);
    Matrix4 r = Matrix4::identity();
    r.m[0][0] = c;
    r.m[0][2] = -s;
    r.m[2][0] = s;
    r.m[2][2] = c;
    return r;
}

void EventCreate::inputStep() {
    const platform::Keyboard& keys = application->keyboard();
    if (keys.isDown(Key::Escape)) {
        fadingIn = false;
        quitting = true;
    }
    if (keys.isDown(Key::Left)) {
        turnMatrix = turnMatrixFor(turnAngle);
        turnAngle += 2.0f;
        if (turnAngle > 360.0f) turnAngle -= 360.0f;
    }
    if (keys.isDown(Key::Right)) {
        turnMatrix = turnMatrixFor(turnAngle);
        turnAngle -= 2.0f;
        if (turnAngle < 0.0f) turnAngle += 360.0f;
    }
}

void EventCreate::frameStep() {
    RenderDevice& renderDevice = application->renderDevice;
    renderDevice.drawScene([this] { drawStep(); });
    renderDevice.presentFrame(application->window());
}

void EventCreate::drawStep() {
    turnStep();
    fadeStep();
}

void EventCreate::turnStep() {
    // The scene drifts back to its home angle one degree per frame after any turn.
    if (turnAngle != 0.0f) {
        turnMatrix = turnMatrixFor(turnAngle);
        turnAngle -= 1.0f;
        if (turnAngle < 0.0f) turnAngle += 360.0f;
    }
}

void EventCreate::fadeStep() {
    if (fadingIn) {
        fadeLevel += 4;
        if (fadeLevel > 255) {
            fadeLevel = 255;
            fadingIn = false;
        }
    }
    if (!quitting) return;
    if (quitStage == 0) {
        fadeLevel -= 4;
        if (fadeLevel < 0) {
            fadeLevel = 0;
            quitStage = 1;
        }
    } else {
        fadeLevel += 8;
        if (fadeLevel > 255) {
            fadeLevel = 255;
            application->sendMessage({platform::MessageId::Close});
        }
    }
}

}  // namespace glassfalls
