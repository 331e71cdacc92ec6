// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <type_traits>

#include "platform/gfx/DeviceTypes.h"

namespace glassfalls::platform::gfx {

class GraphicsDevice;

// One device state and the value it gets: a render state, or a texture-stage or sampler
// state of stage 0, the only stage the piece draws with. The value must be of the state's
// own type. A drawer writes the states it sets and the ones it restores as tables of these,
// so each shows only what it changes.
struct StateSetting {
    enum class Kind : uint8_t { Render, TextureStage, Sampler };

    template <typename Value>
    constexpr StateSetting(StateKey<RenderState, Value> key, std::type_identity_t<Value> v)
        : kind(Kind::Render),
          state(static_cast<uint32_t>(key.state)),
          group(key.group),
          value(static_cast<uint32_t>(v)) {}
    template <typename Value>
    constexpr StateSetting(StateKey<TextureStageState, Value> key, std::type_identity_t<Value> v)
        : kind(Kind::TextureStage),
          state(static_cast<uint32_t>(key.state)),
          group(key.group),
          value(static_cast<uint32_t>(v)) {}
    template <typename Value>
    constexpr StateSetting(StateKey<SamplerState, Value> key, std::type_identity_t<Value> v)
        : kind(Kind::Sampler),
          state(static_cast<uint32_t>(key.state)),
          group(key.group),
          value(static_cast<uint32_t>(v)) {}

    Kind kind;
    uint32_t state;
    StateGroup group;
    uint32_t value;
};

// Sets every state of the table on the device, in the table's order.
void applyStates(GraphicsDevice& device, std::span<const StateSetting> table);

}  // namespace glassfalls::platform::gfx
