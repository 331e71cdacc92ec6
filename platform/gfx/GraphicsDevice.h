#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "math/Matrix4.h"
#include "platform/gfx/DeviceTexture.h"
#include "platform/gfx/DeviceTypes.h"
#include "platform/gfx/FrameTarget.h"
#include "platform/gfx/GlContext.h"
#include "platform/gfx/StateTable.h"

namespace glassfalls::platform::gfx {

// Which groups of OpenGL state must be given again before the next draw.
inline constexpr uint32_t kDirtyTransforms = static_cast<uint32_t>(StateGroup::Transforms);
inline constexpr uint32_t kDirtyLighting = static_cast<uint32_t>(StateGroup::Lighting);
inline constexpr uint32_t kDirtyRaster = static_cast<uint32_t>(StateGroup::Raster);
inline constexpr uint32_t kDirtyStage = static_cast<uint32_t>(StateGroup::Stage);

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
};

// The fixed-function drawing device the scenes are written against, drawn with OpenGL.
// Frames go to a back buffer of the presentation size in an off-screen framebuffer;
// present() scales it into the window keeping its aspect ratio. One texture stage, one
// light, one clip plane: what the scenes use. Main thread only.
class GraphicsDevice {
public:
    // On failure returns null and says why in `error`.
    static std::unique_ptr<GraphicsDevice> create(std::unique_ptr<GlContext> context,
                                                  const PresentParameters& parameters,
                                                  std::string& error);
    ~GraphicsDevice();
    GraphicsDevice(const GraphicsDevice&) = delete;
    GraphicsDevice& operator=(const GraphicsDevice&) = delete;

    // Rebuilds the back buffer with new parameters and returns every state to its default.
    // Textures keep their contents. Surfaces fetched before are invalid afterwards.
    Result reset(const PresentParameters& parameters);
    // DeviceNotReset after the driver lost the context (reset() then recovers), else Ok.
    Result testCooperativeLevel();
    Result present();
    bool beginScene();
    bool endScene();
    void clear(uint32_t flags, Colour colour, float z, uint32_t stencil);
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
    void setTextureStageState(uint32_t stage, StateKey<TextureStageState, Value> key, std::type_identity_t<Value> value) {
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
    void setFvf(uint32_t fvf);
    uint32_t getFvf() const { return state_.fvf; }

    // Draws from caller memory; nothing happens outside beginScene/endScene. Consecutive
    // triangle draws under the same state are merged into one draw, made when the state,
    // a texture's contents or the vertex layout change, or the frame is cleared, read, ended
    // or shown; the picture is the same as when each is drawn at once.
    void drawPrimitiveUp(PrimitiveType type, uint32_t primitiveCount, const void* vertices,
                         uint32_t stride);
    // Off: every draw goes to OpenGL at once (for measuring what merging saves).
    void setMergingDraws(bool on);

    // A texture of the given size; mipChain asks for every level down to 1 x 1.
    std::unique_ptr<DeviceTexture> createTexture(int width, int height, bool mipChain);

    Surface* backBuffer() { return &backBuffer_; }
    Surface* depthStencilSurface() { return &depthBuffer_; }
    const PresentParameters& presentParameters() const { return parameters_; }
    std::string renderer() const { return context_->renderer(); }

    DeviceState captureState() const { return state_; }
    void applyState(const DeviceState& state);

    // The back buffer as 0xFFRRGGBB, row 0 at the top.
    void readBackBuffer(std::vector<uint32_t>& pixels);

private:
    GraphicsDevice(std::unique_ptr<GlContext> context, const PresentParameters& parameters);
    void setDefaultState();
    void markAllDirty() { dirty_ = ~0u; }
    void prepareDraw(bool pretransformed, bool hasDiffuse);
    void applyTransforms(bool pretransformed);
    void applyLightingState(bool pretransformed, bool hasDiffuse);
    void applyRasterState();
    void applyTextureStage();
    void applySampler(DeviceTexture& texture);
    void createWhiteTexture();
    // `count` vertices; with `indices`, the triangles they name.
    void drawNow(PrimitiveType type, uint32_t count, const void* vertices, uint32_t stride,
                 std::span<const uint32_t> indices = {});
    // Draws what merging holds back.
    void flush();

    std::unique_ptr<GlContext> context_;
    std::shared_ptr<TextureRegistry> registry_;
    PresentParameters parameters_;
    FrameTarget frame_;
    Surface backBuffer_;
    Surface depthBuffer_;
    DeviceState state_;
    uint32_t dirty_ = ~0u;
    bool lastPretransformed_ = false;
    bool lastHadDiffuse_ = false;
    bool inScene_ = false;
    bool lost_ = false;
    std::unique_ptr<DeviceTexture> white_;  // what a stage samples when no texture is set
    std::vector<float> scratch_;
    bool merging_ = true;
    std::vector<uint8_t> pending_;  // the vertices of the merged draws
    std::vector<uint32_t> pendingIndices_;  // their triangles
    uint32_t pendingFvf_ = 0;
    uint32_t pendingStride_ = 0;
};

}  // namespace glassfalls::platform::gfx
