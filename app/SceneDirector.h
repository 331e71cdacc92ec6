// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/FrameInput.h"
#include "app/SceneEvent.h"
#include "platform/os/Expected.h"
#include "render/PointerList.h"

namespace glassfalls {

// Owns the scenes (the title first, then the performance) and runs the current one once
// per frame. Main thread only.
class SceneDirector : public OwningPointerList<SceneEvent> {
public:
    platform::Expected<void> init(SceneContext& context);
    // One advance from `input`: the world takes what came, and, while the piece is shown and
    // the device can draw, the current scene steps and draws. True when there is a frame to
    // present (the device may need rebuilding before it draws again).
    bool advance(const FrameInput& input);

    // The first scene of this kind; null if none.
    SceneEvent* find(Scene kind) const;

    SceneEvent* current() const { return current_; }
    // For a restored snapshot: `scene`, one of the director's own, goes on from here.
    void makeCurrent(SceneEvent* scene) { current_ = scene; }

private:
    SceneContext* context_ = nullptr;
    SceneEvent* current_ = nullptr;
};

}  // namespace glassfalls
