#pragma once

#include <cstdint>
#include <optional>

#include "app/SceneEvent.h"
#include "math/Matrix4.h"

namespace glassfalls {

// The performance: the eight performers grow their trails around the centre of the water.
// The scene fades in from black; Escape starts the quit sequence that fades to black, shows
// the credit picture, fades it out and closes the window.
class EventCreate final : public SceneEvent {
public:
    explicit EventCreate(SceneContext& sceneContext) : SceneEvent(sceneContext, Scene::Performance, "EventCreate") {}

    bool init() override { return true; }
    Scene update() override;

    // Rotation about the vertical axis by `degrees`, in the row-vector convention.
    static Matrix4 turnMatrixFor(float degrees);

    float turnAngle = 0.0f;                    // degrees, 0 ≤ angle ≤ 360
    Matrix4 turnMatrix = Matrix4::identity();  // built from turnAngle whenever it is used
    bool fadingIn = true;
    bool quitting = false;
    int32_t quitStage = 0;  // 0 darkening, 1 credit picture fading out
    int32_t fadeLevel = 0;  // 0 … 255, shared by the opening fade and the quit

private:
    // The keys, the rings' growth and a picture from the network, before the frame.
    void inputStep();
    // step(), then draw(), as one frame the device can draw.
    void frameStep();
    // Everything that moves on in a frame: the turn, the performers, the fades.
    void step();
    // The frame as the step left it; changes nothing but the device.
    void draw() const;
    void turnStep();
    // Keeps the angle within 0 … 360.
    void turnBy(float degrees);
    void fadeStep();

    // The levels this frame's fades are drawn at, none where a fade is not drawn.
    struct Shown {
        std::optional<int32_t> opening, closing, credit;
    };
    Shown shown_;
};

}  // namespace glassfalls
