#pragma once

#include <string>

namespace glassfalls {

class Application;
class SceneDirector;

// One scene of the piece: a name to be found by, an initialisation and a per-frame update.
class SceneEvent {
public:
    SceneEvent(Application* app, std::string eventName)
        : application(app), name(std::move(eventName)) {}
    SceneEvent(const SceneEvent&) = delete;
    SceneEvent& operator=(const SceneEvent&) = delete;
    virtual ~SceneEvent() = default;

    virtual bool init() = 0;
    // Runs one frame; returns the event that is current after it.
    virtual SceneEvent* update(SceneDirector& director) = 0;

    Application* application;  // not owned
    const std::string name;
};

}  // namespace glassfalls
