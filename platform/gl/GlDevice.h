// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/GraphicsDevice.h"
#include "platform/gl/DrawMerger.h"
#include "platform/gl/FrameTarget.h"
#include "platform/gl/FramesInFlight.h"
#include "platform/gl/GlContext.h"
#include "platform/gl/GlTexture.h"
#include "platform/gl/Pipeline.h"
#include "platform/gl/VertexDecode.h"
#include "platform/os/Expected.h"

namespace glassfalls::platform::gl {

// A draw as the device gave it to OpenGL: the state it was made under, its vertices as
// OpenGL read them (the caller's layout, a screen vertex's position turned into clip space)
// and, for merged draws, the triangles as indices.
struct GivenDraw {
    gfx::DeviceState state;
    gfx::PrimitiveType type = gfx::PrimitiveType::TriangleList;
    uint32_t count = 0;
    uint32_t stride = 0;
    std::vector<uint8_t> vertices;
    std::vector<uint32_t> indices;
};

// The device drawn with OpenGL: through the fixed-function pipeline on a compatibility
// context, through shaders on a core or ES one. Frames go to a back buffer of the
// presentation size in an off-screen framebuffer; present() scales it into the window
// keeping its aspect ratio. State reaches OpenGL lazily, a group at a time, before a draw.
// Every draw's vertices go through buffer objects.
class GlDevice final : public gfx::GraphicsDevice {
public:
    // A context that could not be made fails the device with its maker's words.
    static Expected<std::unique_ptr<GlDevice>> create(Expected<std::unique_ptr<GlContext>> context,
                                                      const gfx::PresentParameters& parameters);
    ~GlDevice() override;

    gfx::Result reset(const gfx::PresentParameters& parameters) override;
    gfx::Result testCooperativeLevel() override;
    gfx::Result present() override;
    bool beginScene() override;
    bool endScene() override;
    void clear(uint32_t flags, gfx::Colour colour, float z, uint32_t stencil) override;

    // Consecutive triangle draws under the same state are merged into one draw, made when
    // the state, a texture's contents or the vertex layout change, or the frame is cleared,
    // read, ended or shown; the picture is the same as when each is drawn at once. Their
    // vertices go straight into a buffer object.
    void drawPrimitiveUp(gfx::PrimitiveType type, uint32_t primitiveCount, const void* vertices,
                         uint32_t stride) override;
    // Off: every draw goes to OpenGL at once (for measuring what merging saves).
    void setMergingDraws(bool on);
    // While `into` is set, each draw given to OpenGL is also kept there.
    void keepGivenDraws(std::vector<GivenDraw>* into);
    // Gives `draw` again from the bound array and element buffers, which hold its data at
    // `placement`; the caller has applied its state.
    void drawFromBuffers(const GivenDraw& draw, const BufferPlacement& placement);

    std::string renderer() const override { return context_->renderer(); }
    // The longest side of a frame the driver draws into.
    int largestFrameSide() const;
    // Samples a pixel as the driver offers them: `asked`, or its most, said once.
    int samplesOffered(uint32_t asked);
    void readBackBuffer(std::vector<uint32_t>& pixels) override;
    // A frame that is done is read from its own colour buffer once the next one is under
    // way: by then at most the next frame is still being drawn, and reading waits for no frame.
    void startReadBack() override;
    bool finishReadBack(std::vector<uint32_t>& pixels) override;

private:
    GlDevice(std::unique_ptr<GlContext> context, std::unique_ptr<Pipeline> pipeline,
             const gfx::PresentParameters& parameters);
    std::unique_ptr<gfx::DeviceTexture> makeTexture(int width, int height, bool mipChain) override;
    void stateChanging(uint32_t groups) override;
    void viewportChanged() override;
    // A context the driver reset is made anew, with everything the device keeps on it.
    bool recoverLostContext();
    void prepareDraw(VertexLayout layout);
    void applySampler(GlTexture& texture);
    void createWhiteTexture();
    // Draws the caller's vertices at once, through a buffer.
    void drawNow(const DrawCall& call);
    // Keeps a copy of a draw as OpenGL is given it, for the tests that asked (keepGivenDraws).
    void keep(gfx::PrimitiveType type, uint32_t count, uint32_t stride, const uint8_t* vertices,
              const uint32_t* indices, size_t indexCount);
    // Draws from the bound array and element buffers, which hold the vertices (of the
    // current format) and the indices at `placement`.
    void drawBound(gfx::PrimitiveType type, uint32_t count, uint32_t stride, size_t indexCount,
                   const BufferPlacement& placement);
    // Draws what merging holds back.
    void flush();
    // Every texture set on this device was made by it.
    GlTexture* boundTexture() const { return static_cast<GlTexture*>(state_.texture); }

    std::unique_ptr<GlContext> context_;
    std::unique_ptr<Pipeline> pipeline_;
    std::shared_ptr<TextureRegistry> registry_;
    FramesInFlight inFlight_;
    FrameTarget frame_;
    uint32_t dirty_ = gfx::kDirtyAll;
    bool lastPretransformed_ = false;
    bool lastHadDiffuse_ = false;
    bool inScene_ = false;
    bool lost_ = false;
    std::unique_ptr<GlTexture> white_;   // what a stage samples when no texture is set
    uint32_t oversize_ = 0;              // the buffer of a draw too big for the stream buffer
    std::vector<uint8_t> oversizeCopy_;  // its vertices, screen positions in clip space
    std::vector<GivenDraw>* kept_ = nullptr;
    bool merging_ = true;
    ScreenToClip toClip_;  // for the viewport now set
    bool samplesLowered_ = false;
    DrawMerger merger_;
};

}  // namespace glassfalls::platform::gl
