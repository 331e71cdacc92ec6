#pragma once

#include <string>

#include "app/SceneContext.h"

namespace glassfalls {

// The scenes, in the order the piece shows them.
enum class Scene { Title, Performance };

// One scene of the piece: its kind, by which the director finds it, a name for messages and
// tests, an initialisation and a per-frame update.
class SceneEvent {
public:
    SceneEvent(SceneContext& sceneContext, Scene sceneKind, std::string eventName)
        : context(sceneContext), kind(sceneKind), name(std::move(eventName)) {}
    SceneEvent(const SceneEvent&) = delete;
    SceneEvent& operator=(const SceneEvent&) = delete;
    virtual ~SceneEvent() = default;

    virtual bool init() = 0;
    // Runs one frame; returns the scene that is current after it.
    virtual Scene update() = 0;

    SceneContext& context;  // not owned
    const Scene kind;
    const std::string name;
};

}  // namespace glassfalls
