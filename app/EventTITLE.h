#pragma once

#include <cstdint>

#include "app/SceneEvent.h"

namespace glassfalls {

// The opening: the title model drops onto the water while the scene fades in from black, the
// title picture fades in, everything fades out again, and the performance takes over.
class EventTITLE final : public SceneEvent {
public:
    explicit EventTITLE(SceneContext& sceneContext) : SceneEvent(sceneContext, Scene::Title, "EventTITLE") {}

    bool init() override { return true; }
    Scene update() override;

    // Fade step, run once per drawn frame.
    void phaseStep();

    int32_t phase = 0;         // 0 fading in, 1 fading out, 2 finished
    int32_t fadeCounter = 0;   // 0 … 255 in steps of 4 within a phase
    int32_t pictureAlpha = 0;  // rises by 8 per frame from late in phase 0; capped at 255 in phase 1

private:
    void inputStep();
    void frameStep();
    void drawStep();
    // The view and light the performance scene starts with.
    void prepareThePerformance();
};

}  // namespace glassfalls
