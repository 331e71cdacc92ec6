// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

#include "app/SceneEvent.h"

namespace glassfalls {

// The opening: the title model drops onto the water while the scene fades in from black, the
// title picture fades in, everything fades out again, and the performance takes over.
class EventTITLE final : public SceneEvent {
public:
    explicit EventTITLE(SceneContext& sceneContext) : SceneEvent(sceneContext, Scene::Title, "EventTITLE") {}

    // The keys, the model's drop, the rings' growth and those the model starts, and the phase.
    Scene step(const FrameInput& input) override;
    void draw(platform::gfx::GraphicsDevice& device) const override;
    void saveState(platform::ByteWriter& out) const override;
    void loadState(platform::ByteReader& in) override;
    // The last title frame leaves its bright points in the light of the performance.
    void frameDrawn(RenderDevice& renderDevice) override;

    // Fade step, run once per frame: it fixes what the frame shows and moves the phase on.
    void phaseStep();

    int32_t phase = 0;         // 0 fading in, 1 fading out, 2 finished
    int32_t fadeCounter = 0;   // 0 … 255 in steps of 4 within a phase
    int32_t pictureAlpha = 0;  // rises by 8 per frame from late in phase 0; capped at 255 in phase 1

private:
    // What this frame draws at which level.
    struct Shown {
        std::optional<int32_t> picture, fade;
    };
    Shown shown_;
};

}  // namespace glassfalls
