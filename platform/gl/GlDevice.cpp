// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gl/GlDevice.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

#include "platform/gl/FixedFunctionPipeline.h"
#include "platform/gl/Gl.h"
#include "platform/gl/ShaderPipeline.h"
#include "platform/gl/SharedState.h"
#include "platform/os/Browser.h"

namespace glassfalls::platform::gl {

using namespace gfx;

namespace {

GLenum glPrimitive(PrimitiveType type) {
    switch (type) {
        case PrimitiveType::PointList: return GL_POINTS;
        case PrimitiveType::LineList: return GL_LINES;
        case PrimitiveType::LineStrip: return GL_LINE_STRIP;
        case PrimitiveType::TriangleList: return GL_TRIANGLES;
        case PrimitiveType::TriangleStrip: return GL_TRIANGLE_STRIP;
        case PrimitiveType::TriangleFan: return GL_TRIANGLE_FAN;
    }
    return GL_TRIANGLES;
}

GLint glAddress(TextureAddress mode) {
    switch (mode) {
        case TextureAddress::Wrap: return GL_REPEAT;
        case TextureAddress::Mirror: return GL_MIRRORED_REPEAT;
        case TextureAddress::Clamp: return GL_CLAMP_TO_EDGE;
    }
    return GL_REPEAT;
}

// The one place that picks how state reaches OpenGL: by what the context is.
Expected<std::unique_ptr<Pipeline>> pipelineFor(Renderer api) {
    // Not linked into a page, whose WebGL has no fixed functions to call.
    if constexpr (!kInBrowser) {
        if (api == Renderer::Compat) return std::make_unique<FixedFunctionPipeline>();
    }
    return ShaderPipeline::create(api == Renderer::Es);
}

// Core 3.3 and ES 3.0 have sync objects; a compatibility context has them from 3.2 on.
bool hasSyncObjects(Renderer api) {
    if (api != Renderer::Compat) return true;
    GLint major = 0, minor = 0;
    glGetIntegerv(GL_MAJOR_VERSION, &major);
    glGetIntegerv(GL_MINOR_VERSION, &minor);
    return major > 3 || (major == 3 && minor >= 2) || hasExtension("GL_ARB_sync");
}

// No array or element buffer bound.
void unbindBuffers() {
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}

// `count` vertices in the arrays; with `indexCount` indices, the triangles those name.
void drawVertices(PrimitiveType type, uint32_t count, size_t indexCount, const void* indices) {
    if (indexCount == 0) {
        glDrawArrays(glPrimitive(type), 0, static_cast<GLsizei>(count));
    } else {
        glDrawElements(glPrimitive(type), static_cast<GLsizei>(indexCount), GL_UNSIGNED_INT, indices);
    }
}

}  // namespace

Expected<std::unique_ptr<GlDevice>> GlDevice::create(Expected<std::unique_ptr<GlContext>> context,
                                                     const PresentParameters& parameters) {
    if (!context) return failure(context.error());
    auto pipeline = pipelineFor((*context)->api());
    if (!pipeline) return failure(pipeline.error());
    std::unique_ptr<GlDevice> device(new GlDevice(std::move(*context), std::move(*pipeline), parameters));
    if (device->reset(parameters) != Result::Ok) {
        return failure("cannot create a " + std::to_string(parameters.backBufferWidth) + " x " +
                       std::to_string(parameters.backBufferHeight) + " frame buffer on " + device->renderer() +
                       " (its largest is " + std::to_string(device->largestFrameSide()) + " pixels a side)");
    }
    return device;
}

GlDevice::GlDevice(std::unique_ptr<GlContext> context, std::unique_ptr<Pipeline> pipeline,
                   const PresentParameters& parameters)
    : GraphicsDevice(parameters),
      context_(std::move(context)),
      pipeline_(std::move(pipeline)),
      registry_(std::make_shared<TextureRegistry>()),
      inFlight_(hasSyncObjects(context_->api())) {
    registry_->flushPendingDraws = [this] { flush(); };
    registry_->bgraTexels = pipeline_->takesBgra();
    frame_.readsBgra = pipeline_->readsBgra();
}

GlDevice::~GlDevice() {
    // The objects below belong to this device's context, whichever is current now.
    context_->makeCurrent();
    registry_->flushPendingDraws = nullptr;
    merger_.release();
    if (oversize_) glDeleteBuffers(1, &oversize_);
    pipeline_.reset();
    white_.reset();
    frame_.release();
    inFlight_.release();
    registry_->contextAlive = false;
}

Result GlDevice::reset(const PresentParameters& parameters) {
    if (!sideAccepted(parameters.backBufferWidth) || !sideAccepted(parameters.backBufferHeight)) {
        return Result::InvalidCall;
    }
    if (lost_ && !recoverLostContext()) return Result::DeviceLost;
    if (static_cast<int64_t>(parameters.backBufferWidth) > largestFrameSide() ||
        static_cast<int64_t>(parameters.backBufferHeight) > largestFrameSide()) {
        return Result::InvalidCall;
    }
    merger_.drop();
    parameters_ = parameters;
    if (!frame_.create(static_cast<int>(parameters.backBufferWidth), static_cast<int>(parameters.backBufferHeight),
                       samplesOffered(parameters.multisamples))) {
        return Result::OutOfVideoMemory;
    }
    context_->setVsync(parameters.vsync);
    if (!white_) createWhiteTexture();
    setDefaultState();
    return Result::Ok;
}

int GlDevice::samplesOffered(uint32_t asked) {
    if (asked <= 1) return 0;
    GLint most = 0;
    glGetIntegerv(GL_MAX_SAMPLES, &most);
    if (static_cast<int64_t>(asked) <= most) return static_cast<int>(asked);
    if (!samplesLowered_) {
        std::fprintf(stderr, "glassfalls: %s draws at most %d samples a pixel; antialiasing with %d\n",
                     renderer().c_str(), most, most);
        samplesLowered_ = true;
    }
    return most;
}

int GlDevice::largestFrameSide() const {
    GLint renderbuffer = 0, viewport[2] = {};
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &renderbuffer);
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    return std::min({renderbuffer, viewport[0], viewport[1]});
}

bool GlDevice::recoverLostContext() {
    frame_.abandon();
    merger_.abandon();
    inFlight_.abandon();
    oversize_ = 0;
    if (!context_->recreate() || !pipeline_->contextRecreated()) return false;
    // Every texture lives on in main memory; give the new context its own copy.
    for (GlTexture* texture : registry_->textures) texture->upload();
    lost_ = false;
    return true;
}

void GlDevice::createWhiteTexture() {
    white_ = std::make_unique<GlTexture>(registry_, 1, 1, false);
    LockedRect locked;
    white_->lockRect(0, locked);
    *reinterpret_cast<uint32_t*>(locked.bits) = 0xFFFFFFFFu;
    white_->unlockRect(0);
}

Result GlDevice::testCooperativeLevel() {
    if (!lost_ && context_->wasReset()) lost_ = true;
    return lost_ ? Result::DeviceNotReset : Result::Ok;
}

Result GlDevice::present() {
    flush();
    if (lost_ || context_->wasReset()) {
        lost_ = true;
        return Result::DeviceLost;
    }
    // Scaling the frame into a window nobody sees costs as much as drawing a layer of it.
    if (context_->showsFrames()) {
        int width = 0, height = 0;
        context_->drawableSize(width, height);
        frame_.presentInto(width, height);
        context_->swapBuffers();
    }
    frame_.frameDone();
    inFlight_.frameHandedOver();
    return Result::Ok;
}

bool GlDevice::beginScene() {
    if (inScene_ || lost_) return false;
    inScene_ = true;
    frame_.bind();
    return true;
}

bool GlDevice::endScene() {
    if (!inScene_) return false;
    flush();
    frame_.resolve();
    inScene_ = false;
    return true;
}

void GlDevice::clear(uint32_t flags, Colour colour, float z, uint32_t) {
    flush();
    frame_.bind();
    GLbitfield mask = 0;
    if (flags & clearFlags::Target) {
        const ColourValue c = colourValueOf(colour);
        glClearColor(c.r, c.g, c.b, c.a);
        mask |= GL_COLOR_BUFFER_BIT;
    }
    if (flags & clearFlags::ZBuffer) {
        pipeline_->clearDepth(z);
        // Clearing ignores the depth write switch here, but not in OpenGL.
        glDepthMask(GL_TRUE);
        dirty_ |= kDirtyRaster;
        mask |= GL_DEPTH_BUFFER_BIT;
    }
    glClear(mask);
}

void GlDevice::stateChanging(uint32_t groups) {
    flush();
    dirty_ |= groups;
}

void GlDevice::viewportChanged() {
    const Viewport& viewport = state_.viewport;
    toClip_.screen = gfx::screenMappingOf(parameters_);
    toClip_.viewport = viewportPixels(viewport, toClip_.screen);
    const PixelRect& pixels = toClip_.viewport;
    const auto height = static_cast<GLint>(parameters_.backBufferHeight);
    glViewport(pixels.x, height - (pixels.y + pixels.height), pixels.width, pixels.height);
    pipeline_->depthRange(viewport.minZ, viewport.maxZ);
}

std::unique_ptr<DeviceTexture> GlDevice::makeTexture(int width, int height, bool mipChain) {
    return std::make_unique<GlTexture>(registry_, width, height, mipChain);
}

void GlDevice::readBackBuffer(std::vector<uint32_t>& pixels) {
    flush();
    // Read in the middle of a frame, what is drawn so far.
    if (inScene_) frame_.resolve();
    frame_.read(pixels);
}

void GlDevice::startReadBack() {
    flush();
    frame_.startRead();
}

bool GlDevice::finishReadBack(std::vector<uint32_t>& pixels) { return !lost_ && frame_.finishRead(pixels); }

void GlDevice::setMergingDraws(bool on) {
    flush();
    merging_ = on;
}

void GlDevice::keepGivenDraws(std::vector<GivenDraw>* into) {
    // What was gathered unreadable is drawn before keeping starts.
    flush();
    kept_ = into;
}

void GlDevice::drawPrimitiveUp(PrimitiveType type, uint32_t primitiveCount, const void* vertices, uint32_t stride) {
    const DrawCall call{
        type,   primitiveCount, vertexCount(type, primitiveCount), static_cast<const uint8_t*>(vertices),
        stride, state_.fvf};
    if (!inScene_ || call.count == 0 || !vertices) return;
    if (!merger_.joins(call)) flush();
    if (merging_ && merger_.add(call, toClip_, kept_ != nullptr)) return;
    flush();
    merger_.drop();  // a gathering whose indices found no room
    drawNow(call);
}

void GlDevice::flush() {
    if (merger_.empty()) return;
    const uint32_t fvf = state_.fvf;
    state_.fvf = merger_.format();
    const uint32_t count = merger_.count();
    const size_t indexCount = merger_.indexCount();
    if (kept_)
        keep(PrimitiveType::TriangleList, count, merger_.stride(), merger_.gatheredVertices(),
             merger_.gatheredIndices(), indexCount);
    const uint32_t stride = merger_.stride();
    const BufferPlacement placement = merger_.finish();
    drawBound(PrimitiveType::TriangleList, count, stride, indexCount, placement);
    unbindBuffers();
    state_.fvf = fvf;
}

void GlDevice::keep(PrimitiveType type, uint32_t count, uint32_t stride, const uint8_t* vertices,
                    const uint32_t* indices, size_t indexCount) {
    kept_->push_back(
        {state_, type, count, stride, {vertices, vertices + size_t{count} * stride}, {indices, indices + indexCount}});
}

void GlDevice::drawNow(const DrawCall& call) {
    const VertexLayout layout{call.format};
    if (!layout.hasPosition()) return;
    const size_t bytes = size_t{call.count} * call.stride;
    StreamBuffer& stream = merger_.vertexBuffer();
    uint8_t* out = bytes <= stream.capacity() ? stream.take(bytes, false) : nullptr;
    if (!out) {
        oversizeCopy_.resize(bytes);
        out = oversizeCopy_.data();
    }
    std::memcpy(out, call.vertices, bytes);
    if (layout.pretransformed()) toClipSpace(call.vertices, call.stride, out, call.stride, call.count, toClip_);
    if (kept_) keep(call.type, call.count, call.stride, out, nullptr, 0);
    size_t offset = 0;
    if (out == oversizeCopy_.data()) {
        if (!oversize_) glGenBuffers(1, &oversize_);
        glBindBuffer(GL_ARRAY_BUFFER, oversize_);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(bytes), out, GL_STREAM_DRAW);
    } else {
        offset = stream.finish();
    }
    prepareDraw(layout);
    pipeline_->pointArrays(layout, offset, call.stride);
    drawVertices(call.type, call.count, 0, nullptr);
    unbindBuffers();
}

void GlDevice::drawFromBuffers(const GivenDraw& draw, const BufferPlacement& placement) {
    drawBound(draw.type, draw.count, draw.stride, draw.indices.size(), placement);
}

void GlDevice::drawBound(PrimitiveType type, uint32_t count, uint32_t stride, size_t indexCount,
                         const BufferPlacement& placement) {
    const VertexLayout layout{state_.fvf};
    prepareDraw(layout);
    pipeline_->pointArrays(layout, placement.vertices, stride);
    drawVertices(type, count, indexCount, reinterpret_cast<const void*>(placement.indices));
}

void GlDevice::prepareDraw(VertexLayout layout) {
    if (layout.pretransformed() != lastPretransformed_) dirty_ |= kDirtyTransforms | kDirtyLighting;
    if (layout.hasDiffuse() != lastHadDiffuse_) dirty_ |= kDirtyLighting;
    lastPretransformed_ = layout.pretransformed();
    lastHadDiffuse_ = layout.hasDiffuse();
    // No texture samples as opaque white, so that "texture times vertex colour" is the
    // vertex colour.
    GlTexture& texture = state_.texture ? *boundTexture() : *white_;
    pipeline_->apply(state_, dirty_, layout, texture);
    if (state_.texture) applySampler(*boundTexture());
    dirty_ = 0;
}

void GlDevice::applySampler(GlTexture& texture) {
    GlTexture::AppliedSampler wanted;
    wanted.minFilter = getSamplerState(0, sampler::MinFilter);
    wanted.magFilter = getSamplerState(0, sampler::MagFilter);
    wanted.mipFilter = getSamplerState(0, sampler::MipFilter);
    wanted.addressU = getSamplerState(0, sampler::AddressU);
    wanted.addressV = getSamplerState(0, sampler::AddressV);
    wanted.valid = true;
    if (texture.applied == wanted) return;
    texture.applied = wanted;

    const bool linear = wanted.minFilter == TextureFilter::Linear;
    GLint minFilter = linear ? GL_LINEAR : GL_NEAREST;
    // A single-level texture has nothing to filter between; asking for mipmaps would make
    // OpenGL treat it as incomplete.
    if (texture.levelCount() > 1 && wanted.mipFilter == TextureFilter::Linear) {
        minFilter = linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
    } else if (texture.levelCount() > 1 && wanted.mipFilter == TextureFilter::Point) {
        minFilter = linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    }
    // The texture is the stage's own, already bound by applyTextureStage.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER,
                    wanted.magFilter == TextureFilter::Linear ? GL_LINEAR : GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, glAddress(wanted.addressU));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, glAddress(wanted.addressV));
}

}  // namespace glassfalls::platform::gl
