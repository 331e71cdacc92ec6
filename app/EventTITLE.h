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

    bool init() override { return true; }
    Scene update() override;

    // Fade step, run once per drawn frame: it fixes what the frame shows and moves the
    // phase on.
    void phaseStep();

    int32_t phase = 0;         // 0 fading in, 1 fading out, 2 finished
    int32_t fadeCounter = 0;   // 0 … 255 in steps of 4 within a phase
    int32_t pictureAlpha = 0;  // rises by 8 per frame from late in phase 0; capped at 255 in phase 1

private:
    // The keys, and the title model's drop.
    void inputStep();
    // step(), then draw(), as one frame the device can draw.
    void frameStep();
    // The rings' growth and those the model starts, and the phase.
    void step();
    // The frame as the step left it; changes nothing but the device.
    void draw() const;
    // The view and light the performance scene starts with.
    void prepareThePerformance() const;

    // What this frame draws at which level, and whether the performance's view comes after.
    struct Shown {
        std::optional<int32_t> picture, fade;
        bool performanceBegins = false;
    };
    Shown shown_;
};

}  // namespace glassfalls
