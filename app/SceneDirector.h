#pragma once

#include "app/SceneEvent.h"
#include "render/PointerList.h"

namespace glassfalls {

// Owns the scenes (the title first, then the performance) and runs the current one once
// per frame. Main thread only.
class SceneDirector : public OwningPointerList<SceneEvent> {
public:
    bool init(Application* application);
    void advance();

    // The first scene with exactly this name, leaving the cursor on it; null if none.
    SceneEvent* find(const char* name);

    SceneEvent* current() const { return current_; }

    Application* application = nullptr;  // not owned

private:
    SceneEvent* current_ = nullptr;
};

}  // namespace glassfalls
