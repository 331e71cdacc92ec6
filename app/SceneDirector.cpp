// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SceneDirector.h"

#include <cassert>
#include <memory>

#include "app/EventCreate.h"
#include "app/EventTITLE.h"
#include "app/World.h"
#include "render/RenderDevice.h"

namespace glassfalls {

platform::Expected<void> SceneDirector::init(SceneContext& context) {
    context_ = &context;
    auto title = std::make_unique<EventTITLE>(context);
    if (auto ready = title->init(); !ready) return ready;
    current_ = title.get();
    add(title.release());

    auto performance = std::make_unique<EventCreate>(context);
    if (auto ready = performance->init(); !ready) return ready;
    add(performance.release());
    return {};
}

bool SceneDirector::advance(const FrameInput& input) {
    assert(current_ && "SceneDirector::init was not called");
    context_->world().receive(input);
    if (!context_->showing()) return false;
    RenderDevice& renderDevice = context_->renderDevice();
    // A frame the device cannot draw (while it is lost) does not advance the piece either:
    // the performance waits for its pictures.
    if (!renderDevice.canDraw()) return true;
    const Scene next = current_->step(input);
    renderDevice.drawScene([this, &renderDevice] { current_->draw(*renderDevice.device); });
    current_->frameDrawn(renderDevice);
    // A scene that finds nothing to hand over to stays current rather than leaving the
    // director without a scene.
    if (SceneEvent* scene = find(next)) current_ = scene;
    return true;
}

SceneEvent* SceneDirector::find(Scene kind) const {
    for (int i = 0; i < size(); ++i) {
        if (at(i)->kind == kind) return at(i);
    }
    return nullptr;
}

}  // namespace glassfalls
