// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "app/FrameInput.h"
#include "app/SceneContext.h"
#include "platform/gfx/GraphicsDevice.h"
#include "platform/os/ByteStream.h"
#include "platform/os/Expected.h"

namespace glassfalls {

class RenderDevice;

// A level a frame draws something at, or none, as a snapshot holds it.
inline void saveLevel(platform::ByteWriter& out, const std::optional<int32_t>& level) {
    out.boolean(level.has_value());
    out.i32(level.value_or(0));
}
inline void loadLevel(platform::ByteReader& in, std::optional<int32_t>& level) {
    bool present = false;
    int32_t value = 0;
    in.boolean(present);
    in.i32(value);
    if (value < 0 || value > 255) in.fail("has a level out of 0 ... 255");
    level = present ? std::optional<int32_t>(value) : std::nullopt;
}

// The scenes, in the order the piece shows them.
enum class Scene { Title, Performance };

// One scene of the piece: its kind, by which the director finds it, a name for messages and
// tests, an initialisation, and a frame as a step and a drawing of what the step left.
class SceneEvent {
public:
    SceneEvent(SceneContext& sceneContext, Scene sceneKind, std::string eventName)
        : context(sceneContext), kind(sceneKind), name(std::move(eventName)) {}
    SceneEvent(const SceneEvent&) = delete;
    SceneEvent& operator=(const SceneEvent&) = delete;
    virtual ~SceneEvent() = default;

    virtual platform::Expected<void> init() { return {}; }
    // Advances the scene by one frame from the frame's input; returns the scene that is
    // current after it.
    virtual Scene step(const FrameInput& input) = 0;
    // Draws what the last step left. Changes nothing but the device, and sets every device
    // state it relies on, so that a second drawing, or one after a reset, is the same picture.
    virtual void draw(platform::gfx::GraphicsDevice& device) const = 0;
    // Once the frame is drawn and before it is shown: what the scene keeps of its own picture.
    virtual void frameDrawn(RenderDevice& renderDevice) { (void)renderDevice; }
    // Everything the scene's steps have changed, for another machine to go on from.
    virtual void saveState(platform::ByteWriter& out) const = 0;
    virtual void loadState(platform::ByteReader& in) = 0;

    SceneContext& context;  // not owned
    const Scene kind;
    const std::string name;
};

}  // namespace glassfalls
