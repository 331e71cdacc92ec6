#pragma once

#include "app/SceneEvent.h"
#include "render/PointerList.h"

namespace glassfalls {

// Owns the scenes (the title first, then the performance) and runs the current one once
// per frame. Main thread only.
class SceneDirector : public OwningPointerList<SceneEvent> {
public:
    bool init(SceneContext& context);
    void advance();

    // The first scene of this kind, leaving the cursor on it; null if none.
    SceneEvent* find(Scene kind);

    SceneEvent* current() const { return current_; }

private:
    SceneEvent* current_ = nullptr;
};

}  // namespace glassfalls
