// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "math/Matrix4.h"
#include "platform/gfx/DeviceTexture.h"
#include "platform/gfx/DeviceTypes.h"
#include "platform/gfx/StateTable.h"
#include "platform/os/Expected.h"

namespace glassfalls::platform::gfx {

// Which groups of state must be given again before the next draw.
inline constexpr uint32_t kDirtyTransforms = static_cast<uint32_t>(StateGroup::Transforms);
inline constexpr uint32_t kDirtyLighting = static_cast<uint32_t>(StateGroup::Lighting);
inline constexpr uint32_t kDirtyRaster = static_cast<uint32_t>(StateGroup::Raster);
inline constexpr uint32_t kDirtyStage = static_cast<uint32_t>(StateGroup::Stage);
inline constexpr uint32_t kDirtyAll = ~0u;

class GraphicsDevice;

// A drawing surface of the device: the back buffer (readable) or the depth buffer.
class Surface {
public:
    Surface(GraphicsDevice& device, bool readable) : device_(device), readable_(readable) {}

    // The back buffer as 32-bit 0xFFRRGGBB texels, row 0 at the top; valid until unlockRect.
    bool lockRect(LockedRect& locked);
    void unlockRect();

private:
    GraphicsDevice& device_;
    bool readable_;
    bool locked_ = false;
    std::vector<uint32_t> pixels_;
};

// Everything a caller can set, as one value: what a state block saves and restores.
struct DeviceState {
    std::array<uint32_t, kRenderStateSlots> renderStates{};
    std::array<uint32_t, kTextureStageSlots> stage{};
    std::array<uint32_t, kSamplerSlots> sampler{};
    Matrix4 world, view, projection;
    Material material;
    Light light;
    bool lightEnabled = false;
    std::array<float, 4> clipPlane{};
    DeviceTexture* texture = nullptr;
    uint32_t fvf = 0;
    Viewport viewport;

    // Where the setting's state is kept; null for a number past the slots.
    uint32_t* slotOf(const StateSetting& setting);
    // The setting's state as it is here; 0 for a number past the slots.
    uint32_t valueOf(const StateSetting& setting) const;
    template <typename Value>
    Value get(StateKey<RenderState, Value> key) const {
        return static_cast<Value>(renderStates[static_cast<uint32_t>(key.state)]);
    }
    template <typename Value>
    Value get(StateKey<TextureStageState, Value> key) const {
        return static_cast<Value>(stage[static_cast<uint32_t>(key.state)]);
    }
    template <typename Value>
    Value get(StateKey<SamplerState, Value> key) const {
        return static_cast<Value>(sampler[static_cast<uint32_t>(key.state)]);
    }
    // The groups (kDirty…) of the states that differ in `next`.
    uint32_t groupsChangedTo(const DeviceState& next) const;
    friend bool operator==(const DeviceState&, const DeviceState&) = default;
};

// The fixed-function drawing device the scenes are written against. It keeps the state the
// scenes set; a backend draws with it. One texture stage, one light, one clip plane: what
// the scenes use. Main thread only.
class GraphicsDevice {
public:
    virtual ~GraphicsDevice() = default;
    GraphicsDevice(const GraphicsDevice&) = delete;
    GraphicsDevice& operator=(const GraphicsDevice&) = delete;

    // Rebuilds the back buffer with new parameters and returns every state to its default.
    // Textures keep their contents. Surfaces fetched before are invalid afterwards.
    virtual Result reset(const PresentParameters& parameters) = 0;
    // DeviceNotReset after the driver lost the context (reset() then recovers), else Ok.
    virtual Result testCooperativeLevel() = 0;
    virtual Result present() = 0;
    virtual bool beginScene() = 0;
    virtual bool endScene() = 0;
    virtual void clear(uint32_t flags, Colour colour, float z, uint32_t stencil) = 0;
    void setViewport(const Viewport& viewport);

    // States of texture stage and sampler 0 only; the others are ignored and read as 0.
    void setState(const StateSetting& setting);
    template <typename Value>
    void setRenderState(StateKey<RenderState, Value> key, std::type_identity_t<Value> value) {
        setState({key, value});
    }
    template <typename Value>
    Value getRenderState(StateKey<RenderState, Value> key) const {
        return static_cast<Value>(state_.renderStates[static_cast<uint32_t>(key.state)]);
    }
    template <typename Value>
    void setTextureStageState(uint32_t stage, StateKey<TextureStageState, Value> key,
                              std::type_identity_t<Value> value) {
        if (stage == 0) setState({key, value});
    }
    template <typename Value>
    Value getTextureStageState(uint32_t stage, StateKey<TextureStageState, Value> key) const {
        return static_cast<Value>(stage == 0 ? state_.stage[static_cast<uint32_t>(key.state)] : 0);
    }
    template <typename Value>
    void setSamplerState(uint32_t sampler, StateKey<SamplerState, Value> key, std::type_identity_t<Value> value) {
        if (sampler == 0) setState({key, value});
    }
    template <typename Value>
    Value getSamplerState(uint32_t sampler, StateKey<SamplerState, Value> key) const {
        return static_cast<Value>(sampler == 0 ? state_.sampler[static_cast<uint32_t>(key.state)] : 0);
    }
    void setTransform(TransformState state, const Matrix4& matrix);
    void getTransform(TransformState state, Matrix4& matrix) const;
    void setMaterial(const Material& material);
    void getMaterial(Material& material) const { material = state_.material; }
    void setLight(uint32_t index, const Light& light);
    void lightEnable(uint32_t index, bool enable);
    // A plane (a, b, c, d) in world space; points with a x + b y + c z + d >= 0 are kept.
    void setClipPlane(uint32_t index, const float plane[4]);
    void setTexture(uint32_t stage, DeviceTexture* texture);
    DeviceTexture* getTexture(uint32_t stage) const { return stage == 0 ? state_.texture : nullptr; }
    void setFvf(uint32_t fvf) { state_.fvf = fvf; }
    uint32_t getFvf() const { return state_.fvf; }

    // Draws from caller memory; nothing happens outside beginScene/endScene.
    virtual void drawPrimitiveUp(PrimitiveType type, uint32_t primitiveCount, const void* vertices,
                                 uint32_t stride) = 0;

    // A texture of the given size (null for a side the device does not take); mipChain asks
    // for every level down to 1 x 1. Textures given to a device must come from it.
    std::unique_ptr<DeviceTexture> createTexture(int width, int height, bool mipChain) {
        return sideAccepted(width) && sideAccepted(height) ? makeTexture(width, height, mipChain) : nullptr;
    }

    Surface* backBuffer() { return &backBuffer_; }
    Surface* depthStencilSurface() { return &depthBuffer_; }
    const PresentParameters& presentParameters() const { return parameters_; }
    virtual std::string renderer() const = 0;

    DeviceState captureState() const { return state_; }
    void applyState(const DeviceState& state);

    // The back buffer as 0xFFRRGGBB, row 0 at the top.
    virtual void readBackBuffer(std::vector<uint32_t>& pixels) = 0;
    // The same without waiting for the frame to be drawn: startReadBack asks for the back
    // buffer as drawn so far, finishReadBack hands it over, so that the next frame can be
    // built in between. One read at a time. False when no read was started or the device
    // was lost since. Here: read at once.
    virtual void startReadBack() {
        readBackBuffer(started_);
        reading_ = true;
    }
    virtual bool finishReadBack(std::vector<uint32_t>& pixels) {
        if (!reading_) return false;
        reading_ = false;
        pixels.swap(started_);
        return true;
    }

protected:
    explicit GraphicsDevice(const PresentParameters& parameters);
    // A side of a texture or of the back buffer that every backend takes.
    static bool sideAccepted(int64_t side) { return side > 0 && side <= 16384; }
    virtual std::unique_ptr<DeviceTexture> makeTexture(int width, int height, bool mipChain) = 0;
    // Every state at its initial value, the viewport the whole back buffer.
    void setDefaultState();
    // Told before a state of these groups takes a new value: what was drawn before was drawn
    // under the old one.
    virtual void stateChanging(uint32_t groups) = 0;
    virtual void viewportChanged() = 0;

    PresentParameters parameters_;
    DeviceState state_;

private:
    Surface backBuffer_;
    Surface depthBuffer_;
    std::vector<uint32_t> started_;  // what startReadBack read
    bool reading_ = false;
};

// Makes a device of the given type for one window, as that window offers them.
using DeviceFactory =
    std::function<Expected<std::unique_ptr<GraphicsDevice>>(DeviceType type, const PresentParameters& parameters)>;

}  // namespace glassfalls::platform::gfx
