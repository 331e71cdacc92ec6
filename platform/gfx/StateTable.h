#pragma once

#include <cstdint>
#include <span>

#include "platform/gfx/DeviceTypes.h"

namespace glassfalls::platform::gfx {

class GraphicsDevice;

// One device state and the value it gets: a render state, or a texture-stage or sampler
// state of stage 0, the only stage the piece draws with. A drawer writes the states it sets
// and the ones it restores as tables of these, so each shows only what it changes.
struct StateSetting {
    enum class Kind : uint8_t { Render, TextureStage, Sampler };

    constexpr StateSetting(RenderState s, uint32_t v)
        : kind(Kind::Render), state(static_cast<uint32_t>(s)), value(v) {}
    constexpr StateSetting(TextureStageState s, uint32_t v)
        : kind(Kind::TextureStage), state(static_cast<uint32_t>(s)), value(v) {}
    constexpr StateSetting(SamplerState s, uint32_t v)
        : kind(Kind::Sampler), state(static_cast<uint32_t>(s)), value(v) {}

    Kind kind;
    uint32_t state;
    uint32_t value;
};

// Sets every state of the table on the device, in the table's order.
void applyStates(GraphicsDevice& device, std::span<const StateSetting> table);

}  // namespace glassfalls::platform::gfx
