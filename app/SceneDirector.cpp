#include "app/SceneDirector.h"

#include <cassert>
#include <memory>

#include "app/EventCreate.h"
#include "app/EventTITLE.h"

namespace glassfalls {

bool SceneDirector::init(SceneContext& context) {
    auto title = std::make_unique<EventTITLE>(context);
    if (!title->init()) return false;
    current_ = title.get();
    add(title.release());

    auto performance = std::make_unique<EventCreate>(context);
    if (!performance->init()) return false;
    add(performance.release());
    return true;
}

void SceneDirector::advance() {
    assert(current_ && "SceneDirector::init was not called");
    // A scene that finds nothing to hand over to stays current rather than leaving the
    // director without a scene.
    if (SceneEvent* next = find(current_->update())) current_ = next;
}

SceneEvent* SceneDirector::find(Scene kind) {
    for (cursor = 0; cursor < size(); ++cursor) {
        if (at(cursor)->kind == kind) return at(cursor);
    }
    return nullptr;
}

}  // namespace glassfalls
