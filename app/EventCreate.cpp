// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/EventCreate.h"

#include <cmath>

#include "app/World.h"
#include "math/Angles.h"
#include "math/MatrixBuilders.h"
#include "platform/input/Keyboard.h"
#include "render/RenderDevice.h"
#include "render/StatePresets.h"

namespace glassfalls {

using platform::Key;

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

Scene EventCreate::step(const FrameInput& input) {
    if (input.isDown(Key::Escape)) {
        fadingIn = false;
        quitting = true;
    }
    if (input.isDown(Key::Left)) turnBy(2.0f);
    if (input.isDown(Key::Right)) turnBy(-2.0f);
    World& world = context.world();
    world.ripples.update();
    world.showWaitingPicture();
    turnStep();
    if (world.group) {
        PerformerInput performers;
        performers.enter = input.isDown(Key::Enter);
        performers.heard = &world.heard;
        performers.fromInstrument = input.instrument;
        performers.played = input.played;
        world.group->step(turnMatrix, performers);
    }
    // After the performers have started theirs, as the frame's rings are drawn.
    world.ripples.followTurn(turnAngle);
    startsClamped_ = stepped_ && !shown_.opening && !shown_.closing;
    stepped_ = true;
    fadeStep();
    return Scene::Performance;
}

void EventCreate::draw(platform::gfx::GraphicsDevice& device) const {
    using namespace platform::gfx;
    const World& world = context.world();
    device.setRenderState(renderState::FogEnable, 0);
    // A side of its own for a wall of several screens: the whole scene turns, the ground with
    // it, as the arrow keys turn the performers alone.
    device.setTransform(TransformState::View,
                        turnMatrixFor(world.viewTurn).multiply(matrixLookAtLH({0, 64, -64}, {0, 0, 16}, {0, 1, 0})));
    // The performance's light, from above and behind the left of the camera.
    device.setLight(0, whiteDirectionalLight({1, 1, -1}));
    device.lightEnable(0, true);
    applyStates(device, startsClamped_ ? statePresets::kClampAddressing : statePresets::kWrapAddressing);
    if (world.group) world.group->draw(device, turnMatrix, 1.0f);
    world.ground.draw(device, 1.0f);
    world.ripples.draw(device);
    world.lightMask.draw(device, turnMatrix);
    if (shown_.opening) world.fade.draw(device, turnMatrix, *shown_.opening);
    if (shown_.closing) world.fade.draw(device, turnMatrix, *shown_.closing);
    // The credit picture is drawn over the darkening screen.
    if (shown_.credit) world.copyRight.drawFaded(device, *shown_.credit);
}

void EventCreate::turnStep() {
    // The scene turns while a performance closes, and afterwards drifts back to its home
    // angle one degree per frame.
    const World& world = context.world();
    if ((world.group && world.group->anyClosing()) || turnAngle != 0.0f) turnBy(-1.0f);
}

void EventCreate::turnBy(float degrees) {
    // The frame draws the turn as it stood; the angle moves on for the next one.
    turnMatrix = turnMatrixFor(turnAngle);
    turnAngle += degrees;
    if (turnAngle > 360.0f) turnAngle -= 360.0f;
    if (turnAngle < 0.0f) turnAngle += 360.0f;
}

void EventCreate::fadeStep() {
    // A frame shows each fade at the level it had before it moves on.
    shown_ = {};
    if (fadingIn) {
        shown_.opening = 255 - fadeLevel;
        fadeLevel += 4;
        if (fadeLevel > 255) {
            fadeLevel = 255;
            fadingIn = false;
        }
    }
    if (!quitting) return;
    if (quitStage == 0) {
        shown_.closing = 255 - fadeLevel;
        shown_.credit = 255 - fadeLevel;
        fadeLevel -= 4;
        if (fadeLevel < 0) {
            fadeLevel = 0;
            quitStage = 1;
        }
    } else {
        shown_.closing = 255;
        shown_.credit = 255 - fadeLevel;
        fadeLevel += 8;
        if (fadeLevel > 255) {
            fadeLevel = 255;
            // The window stays until this frame has been presented into it.
            context.requestClose();
        }
    }
}

void EventCreate::saveState(platform::ByteWriter& out) const {
    out.f32(turnAngle);
    out.boolean(fadingIn);
    out.boolean(quitting);
    out.i32(quitStage);
    out.i32(fadeLevel);
    saveLevel(out, shown_.opening);
    saveLevel(out, shown_.closing);
    saveLevel(out, shown_.credit);
    out.boolean(startsClamped_);
    out.boolean(stepped_);
}

void EventCreate::loadState(platform::ByteReader& in) {
    in.f32(turnAngle);
    in.boolean(fadingIn);
    in.boolean(quitting);
    in.i32(quitStage);
    in.i32(fadeLevel);
    loadLevel(in, shown_.opening);
    loadLevel(in, shown_.closing);
    loadLevel(in, shown_.credit);
    in.boolean(startsClamped_);
    in.boolean(stepped_);
    if (!(turnAngle >= 0 && turnAngle <= 360) || quitStage < 0 || quitStage > 1 || fadeLevel < 0 || fadeLevel > 255)
        in.fail("has a performance out of range");
    turnMatrix = turnMatrixFor(turnAngle);
}

}  // namespace glassfalls
