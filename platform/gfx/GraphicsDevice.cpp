// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gfx/GraphicsDevice.h"

#include <algorithm>
#include <cmath>

namespace glassfalls::platform::gfx {

bool Surface::lockRect(LockedRect& locked) {
    if (!readable_ || locked_) return false;
    device_.readBackBuffer(pixels_);
    locked_ = true;
    locked.pitch = static_cast<int>(device_.presentParameters().backBufferWidth * 4);
    locked.bits = reinterpret_cast<uint8_t*>(pixels_.data());
    return true;
}

void Surface::unlockRect() { locked_ = false; }

namespace {

// For a state and a read-only one alike.
template <typename State>
auto* slotIn(State& state, const StateSetting& setting) {
    decltype(&state.renderStates[0]) none = nullptr;
    switch (setting.kind) {
        case StateSetting::Kind::Render:
            return setting.state < kRenderStateSlots ? &state.renderStates[setting.state] : none;
        case StateSetting::Kind::TextureStage:
            return setting.state < kTextureStageSlots ? &state.stage[setting.state] : none;
        case StateSetting::Kind::Sampler: return setting.state < kSamplerSlots ? &state.sampler[setting.state] : none;
    }
    return none;
}

}  // namespace

uint32_t* DeviceState::slotOf(const StateSetting& setting) { return slotIn(*this, setting); }

uint32_t DeviceState::valueOf(const StateSetting& setting) const {
    const uint32_t* slot = slotIn(*this, setting);
    return slot ? *slot : 0;
}

uint32_t DeviceState::groupsChangedTo(const DeviceState& next) const {
    uint32_t groups = 0;
#define GLASSFALLS_CHANGED(name, number, type, group, initial) \
    if (slots[number] != nextSlots[number]) groups |= static_cast<uint32_t>(StateGroup::group);
    {
        const auto &slots = renderStates, &nextSlots = next.renderStates;
        GLASSFALLS_RENDER_STATES(GLASSFALLS_CHANGED)
    }
    {
        const auto &slots = stage, &nextSlots = next.stage;
        GLASSFALLS_TEXTURE_STAGE_STATES(GLASSFALLS_CHANGED)
    }
    {
        const auto &slots = sampler, &nextSlots = next.sampler;
        GLASSFALLS_SAMPLER_STATES(GLASSFALLS_CHANGED)
    }
#undef GLASSFALLS_CHANGED
    if (world != next.world || view != next.view || projection != next.projection || clipPlane != next.clipPlane) {
        groups |= kDirtyTransforms;
    }
    // The light's direction is given through the view.
    if (light != next.light) groups |= kDirtyTransforms | kDirtyLighting;
    if (material != next.material || lightEnabled != next.lightEnabled) groups |= kDirtyLighting;
    if (texture != next.texture) groups |= kDirtyStage;
    return groups;
}

GraphicsDevice::GraphicsDevice(const PresentParameters& parameters)
    : parameters_(parameters), backBuffer_(*this, true), depthBuffer_(*this, false) {}

void GraphicsDevice::setDefaultState() {
    DeviceState s;
#define GLASSFALLS_INITIAL(name, number, type, group, initial) slots[number] = static_cast<uint32_t>(type(initial));
    {
        auto& slots = s.renderStates;
        GLASSFALLS_RENDER_STATES(GLASSFALLS_INITIAL)
    }
    {
        auto& slots = s.stage;
        GLASSFALLS_TEXTURE_STAGE_STATES(GLASSFALLS_INITIAL)
    }
    {
        auto& slots = s.sampler;
        GLASSFALLS_SAMPLER_STATES(GLASSFALLS_INITIAL)
    }
#undef GLASSFALLS_INITIAL
    s.world = s.view = s.projection = Matrix4::identity();
    s.light.diffuse = {1, 1, 1, 0};
    s.light.direction = {0, 0, 1};
    const ScreenMapping screen = screenMappingOf(parameters_);
    s.viewport = {0, 0, static_cast<uint32_t>(std::ceil(screen.width)), static_cast<uint32_t>(std::ceil(screen.height)),
                  0, 1};
    // After a reset the backend may hold none of the state it gave before.
    stateChanging(kDirtyAll);
    state_ = s;
    viewportChanged();
}

void GraphicsDevice::applyState(const DeviceState& state) {
    stateChanging(state_.groupsChangedTo(state));
    const bool viewportMoves = state.viewport != state_.viewport;
    state_ = state;
    if (viewportMoves) viewportChanged();
}

void GraphicsDevice::setViewport(const Viewport& viewport) {
    stateChanging(0);
    state_.viewport = viewport;
    viewportChanged();
}

void GraphicsDevice::setState(const StateSetting& setting) {
    uint32_t* slot = state_.slotOf(setting);
    if (!slot || *slot == setting.value) return;
    stateChanging(static_cast<uint32_t>(setting.group));
    *slot = setting.value;
}

void GraphicsDevice::setTransform(TransformState state, const Matrix4& matrix) {
    Matrix4& current = state == TransformState::World  ? state_.world
                       : state == TransformState::View ? state_.view
                                                       : state_.projection;
    if (current == matrix) return;
    stateChanging(kDirtyTransforms);
    current = matrix;
}

void GraphicsDevice::getTransform(TransformState state, Matrix4& matrix) const {
    switch (state) {
        case TransformState::World: matrix = state_.world; break;
        case TransformState::View: matrix = state_.view; break;
        case TransformState::Projection: matrix = state_.projection; break;
    }
}

void GraphicsDevice::setMaterial(const Material& material) {
    if (state_.material == material) return;
    stateChanging(kDirtyLighting);
    state_.material = material;
}

void GraphicsDevice::setLight(uint32_t index, const Light& light) {
    if (index != 0 || state_.light == light) return;
    stateChanging(kDirtyLighting | kDirtyTransforms);
    state_.light = light;
}

void GraphicsDevice::lightEnable(uint32_t index, bool enable) {
    if (index != 0 || state_.lightEnabled == enable) return;
    stateChanging(kDirtyLighting);
    state_.lightEnabled = enable;
}

void GraphicsDevice::setClipPlane(uint32_t index, const float plane[4]) {
    if (index != 0 || std::equal(plane, plane + 4, state_.clipPlane.begin())) return;
    stateChanging(kDirtyTransforms);
    std::copy(plane, plane + 4, state_.clipPlane.begin());
}

void GraphicsDevice::setTexture(uint32_t stage, DeviceTexture* texture) {
    if (stage != 0 || state_.texture == texture) return;
    stateChanging(kDirtyStage);
    state_.texture = texture;
}

}  // namespace glassfalls::platform::gfx
