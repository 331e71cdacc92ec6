// SPDX-License-Identifier: GPL-3.0-or-later
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

    // The keys, the rings' growth, a picture from the network, the turn, the performers and
    // the fades.
    Scene step(const FrameInput& input) override;
    void draw(platform::gfx::GraphicsDevice& device) const override;
    void saveState(platform::ByteWriter& out) const override;
    void loadState(platform::ByteReader& in) override;

    // Rotation about the vertical axis by `degrees`, in the row-vector convention.
    static Matrix4 turnMatrixFor(float degrees);

    float turnAngle = 0.0f;                    // degrees, 0 ≤ angle ≤ 360
    Matrix4 turnMatrix = Matrix4::identity();  // built from turnAngle whenever it is used
    bool fadingIn = true;
    bool quitting = false;
    int32_t quitStage = 0;  // 0 darkening, 1 credit picture fading out
    int32_t fadeLevel = 0;  // 0 … 255, shared by the opening fade and the quit

private:
    void turnStep();
    // Keeps the angle within 0 … 360.
    void turnBy(float degrees);
    void fadeStep();

    // The levels this frame's fades are drawn at, none where a fade is not drawn.
    struct Shown {
        std::optional<int32_t> opening, closing, credit;
    };
    Shown shown_;
    // The frame is drawn with the texture addressing the frame before left: clamped by the
    // light mask, unless a fade drawn after it gave back wrapping (as the title's last frame
    // does).
    bool startsClamped_ = false;
    bool stepped_ = false;
};

}  // namespace glassfalls
