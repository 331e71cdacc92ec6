#include "platform/gl/GlDevice.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/gl/FixedFunctionPipeline.h"
#include "platform/gl/Gl.h"
#include "platform/gl/ShaderPipeline.h"

namespace glassfalls::platform::gl {

using namespace gfx;

namespace {

uint32_t vertexCount(PrimitiveType type, uint32_t primitives) {
    switch (type) {
        case PrimitiveType::PointList: return primitives;
        case PrimitiveType::LineList: return primitives * 2;
        case PrimitiveType::LineStrip: return primitives + 1;
        case PrimitiveType::TriangleList: return primitives * 3;
        case PrimitiveType::TriangleStrip:
        case PrimitiveType::TriangleFan: return primitives + 2;
    }
    return 0;
}

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

// Screen pixels with y down, turned into clip coordinates; w = 1 / rhw keeps texturing
// perspective-correct. Whole-number coordinates fall on pixel edges, so a rectangle covers
// exactly the pixels it names and texel centres meet pixel centres. Reads the first four
// floats of each vertex from `in`, writes four to `out`.
void toClipSpace(const uint8_t* in, uint32_t inStride, uint8_t* out, uint32_t outStride, uint32_t count,
                 const PresentParameters& parameters) {
    const auto width = static_cast<float>(parameters.backBufferWidth);
    const auto height = static_cast<float>(parameters.backBufferHeight);
    for (uint32_t i = 0; i < count; ++i) {
        float v[4];
        std::memcpy(v, in + size_t{i} * inStride, sizeof v);
        const float w = v[3] != 0.0f ? 1.0f / v[3] : 1.0f;
        const float clip[4] = {(v[0] * 2.0f / width - 1.0f) * w, (1.0f - v[1] * 2.0f / height) * w,
                               (v[2] * 2.0f - 1.0f) * w, w};
        std::memcpy(out + size_t{i} * outStride, clip, sizeof clip);
    }
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
std::unique_ptr<Pipeline> pipelineFor(Renderer api, std::string& error) {
    if (api == Renderer::Compat) return std::make_unique<FixedFunctionPipeline>();
    return ShaderPipeline::create(api == Renderer::Es, error);
}

// No array or element buffer bound.
void unbindBuffers() {
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}

// Room for the merged draws of a frame or so; a larger draw goes to OpenGL by itself.
constexpr size_t kGatheredVertexBytes = size_t{1} << 20;
constexpr size_t kGatheredIndexBytes = size_t{1} << 19;

// `count` vertices in the arrays; with `indexCount` indices, the triangles those name.
void drawVertices(PrimitiveType type, uint32_t count, size_t indexCount, const void* indices) {
    if (indexCount == 0) {
        glDrawArrays(glPrimitive(type), 0, static_cast<GLsizei>(count));
    } else {
        glDrawElements(glPrimitive(type), static_cast<GLsizei>(indexCount), GL_UNSIGNED_INT, indices);
    }
}

}  // namespace

std::unique_ptr<GlDevice> GlDevice::create(std::unique_ptr<GlContext> context,
                                           const PresentParameters& parameters,
                                           std::string& error) {
    if (!context) {
        // The context's maker has said why, when it made none.
        if (error.empty()) error = "no OpenGL context";
        return nullptr;
    }
    auto pipeline = pipelineFor(context->api(), error);
    if (!pipeline) return nullptr;
    std::unique_ptr<GlDevice> device(new GlDevice(std::move(context), std::move(pipeline), parameters));
    if (device->reset(parameters) != Result::Ok) {
        error = "cannot create a " + std::to_string(parameters.backBufferWidth) + " x " +
                std::to_string(parameters.backBufferHeight) + " frame buffer on " +
                device->renderer();
        return nullptr;
    }
    return device;
}

GlDevice::GlDevice(std::unique_ptr<GlContext> context, std::unique_ptr<Pipeline> pipeline,
                   const PresentParameters& parameters)
    : GraphicsDevice(parameters),
      context_(std::move(context)),
      pipeline_(std::move(pipeline)),
      registry_(std::make_shared<TextureRegistry>()),
      gatheredVertices_(GL_ARRAY_BUFFER, kGatheredVertexBytes),
      gatheredIndices_(GL_ELEMENT_ARRAY_BUFFER, kGatheredIndexBytes) {
    registry_->flushPendingDraws = [this] { flush(); };
    registry_->bgraTexels = pipeline_->takesBgra();
    frame_.readsBgra = pipeline_->takesBgra();
}

GlDevice::~GlDevice() {
    // The objects below belong to this device's context, whichever is current now.
    context_->makeCurrent();
    registry_->flushPendingDraws = nullptr;
    gatheredVertices_.release();
    gatheredIndices_.release();
    if (oversize_) glDeleteBuffers(1, &oversize_);
    pipeline_.reset();
    white_.reset();
    frame_.release();
    registry_->contextAlive = false;
}

Result GlDevice::reset(const PresentParameters& parameters) {
    if (!sideAccepted(parameters.backBufferWidth) || !sideAccepted(parameters.backBufferHeight)) {
        return Result::InvalidCall;
    }
    if (lost_) {
        std::string error;
        frame_.abandon();
        gatheredVertices_.abandon();
        gatheredIndices_.abandon();
        gatheredCount_ = 0;
        oversize_ = 0;
        if (!context_->recreate(error)) return Result::DeviceLost;
        pipeline_->contextRecreated();
        // Every texture lives on in main memory; give the new context its own copy.
        for (GlTexture* texture : registry_->textures) texture->upload();
        lost_ = false;
    }
    dropGathered();
    parameters_ = parameters;
    if (!frame_.create(static_cast<int>(parameters.backBufferWidth),
                       static_cast<int>(parameters.backBufferHeight))) {
        return Result::OutOfVideoMemory;
    }
    context_->setVsync(parameters.vsync);
    if (!white_) createWhiteTexture();
    setDefaultState();
    return Result::Ok;
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
    // Without a swap nothing holds the frames back, and a software renderer queues their
    // drawing faster than its threads finish it: memory grew by megabytes a frame. Waiting
    // for each frame leaves the driver one frame of work, as a swap with vsync would.
    if (!context_->showsFrames()) {
        glFinish();
        return Result::Ok;
    }
    int width = 0, height = 0;
    context_->drawableSize(width, height);
    frame_.presentInto(width, height);
    context_->swapBuffers();
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
    inScene_ = false;
    return true;
}

void GlDevice::clear(uint32_t flags, Colour colour, float z, uint32_t) {
    flush();
    frame_.bind();
    GLbitfield mask = 0;
    if (flags & clearFlags::Target) {
        glClearColor(static_cast<float>((colour >> 16) & 0xFF) / 255.0f,
                     static_cast<float>((colour >> 8) & 0xFF) / 255.0f,
                     static_cast<float>(colour & 0xFF) / 255.0f,
                     static_cast<float>(colour >> 24) / 255.0f);
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
    const auto height = static_cast<GLint>(parameters_.backBufferHeight);
    glViewport(static_cast<GLint>(viewport.x),
               height - static_cast<GLint>(viewport.y + viewport.height),
               static_cast<GLsizei>(viewport.width), static_cast<GLsizei>(viewport.height));
    pipeline_->depthRange(viewport.minZ, viewport.maxZ);
}

std::unique_ptr<DeviceTexture> GlDevice::makeTexture(int width, int height, bool mipChain) {
    return std::make_unique<GlTexture>(registry_, width, height, mipChain);
}

void GlDevice::readBackBuffer(std::vector<uint32_t>& pixels) {
    flush();
    frame_.read(pixels);
}

void GlDevice::setMergingDraws(bool on) {
    flush();
    merging_ = on;
}

void GlDevice::keepGivenDraws(std::vector<GivenDraw>* into) {
    // What was gathered unreadable is drawn before keeping starts.
    flush();
    kept_ = into;
}

void GlDevice::drawPrimitiveUp(PrimitiveType type, uint32_t primitiveCount, const void* vertices,
                               uint32_t stride) {
    const uint32_t count = vertexCount(type, primitiveCount);
    if (!inScene_ || count == 0 || !vertices) return;
    const bool triangles = type == PrimitiveType::TriangleList || type == PrimitiveType::TriangleStrip ||
                           type == PrimitiveType::TriangleFan;
    const size_t bytes = size_t{count} * stride;
    const size_t indexBytes = size_t{primitiveCount} * 3 * sizeof(uint32_t);
    if (gatheredCount_ > 0 && (state_.fvf != gatheredFvf_ || stride != gatheredStride_ ||
                               !gatheredVertices_.fits(bytes) || !gatheredIndices_.fits(indexBytes))) {
        flush();
    }
    uint8_t* out = nullptr;
    uint32_t* corners = nullptr;
    if (merging_ && triangles && bytes <= gatheredVertices_.capacity() && indexBytes <= gatheredIndices_.capacity()) {
        const bool readable = kept_ != nullptr;
        out = gatheredVertices_.take(bytes, readable);
        if (out) corners = reinterpret_cast<uint32_t*>(gatheredIndices_.take(indexBytes, readable));
    }
    if (!corners) {
        flush();
        dropGathered();  // a gathering whose indices found no room
        drawNow(type, count, vertices, stride);
        return;
    }
    gatheredFvf_ = state_.fvf;
    gatheredStride_ = stride;
    const auto* base = static_cast<const uint8_t*>(vertices);
    std::memcpy(out, base, bytes);
    if (state_.fvf & fvf::XyzRhw) toClipSpace(base, stride, out, stride, count, parameters_);
    // Every triangle as indices in the order OpenGL would assemble it: strips keep their
    // winding by swapping the first two corners of every second triangle; fans turn about
    // their first corner.
    const uint32_t first = gatheredCount_;
    for (uint32_t t = 0; t < primitiveCount; ++t, corners += 3) {
        if (type == PrimitiveType::TriangleStrip) {
            corners[0] = first + (t % 2 ? t + 1 : t);
            corners[1] = first + (t % 2 ? t : t + 1);
            corners[2] = first + t + 2;
        } else if (type == PrimitiveType::TriangleFan) {
            corners[0] = first;
            corners[1] = first + t + 1;
            corners[2] = first + t + 2;
        } else {
            corners[0] = first + 3 * t;
            corners[1] = first + 3 * t + 1;
            corners[2] = first + 3 * t + 2;
        }
    }
    gatheredCount_ += count;
}

void GlDevice::flush() {
    if (gatheredCount_ == 0) return;
    const uint32_t fvf = state_.fvf;
    state_.fvf = gatheredFvf_;
    const size_t indexCount = gatheredIndices_.gatheredBytes() / sizeof(uint32_t);
    if (kept_) {
        const uint8_t* v = gatheredVertices_.gathered();
        const auto* i = reinterpret_cast<const uint32_t*>(gatheredIndices_.gathered());
        kept_->push_back({state_, PrimitiveType::TriangleList, gatheredCount_, gatheredStride_,
                          {v, v + gatheredVertices_.gatheredBytes()}, {i, i + indexCount}});
    }
    const BufferPlacement placement{gatheredVertices_.finish(), gatheredIndices_.finish()};
    drawBound(PrimitiveType::TriangleList, gatheredCount_, gatheredStride_, indexCount, placement);
    unbindBuffers();
    state_.fvf = fvf;
    gatheredCount_ = 0;
}

void GlDevice::dropGathered() {
    if (!gatheredVertices_.mapped() && !gatheredIndices_.mapped()) return;
    gatheredVertices_.finish();
    gatheredIndices_.finish();
    unbindBuffers();
    gatheredCount_ = 0;
}

void GlDevice::drawNow(PrimitiveType type, uint32_t count, const void* vertices, uint32_t stride) {
    const DrawLayout layout{state_.fvf};
    if (!layout.pretransformed() && !(layout.format & fvf::Xyz)) return;
    const auto* base = static_cast<const uint8_t*>(vertices);
    const size_t bytes = size_t{count} * stride;
    uint8_t* out = bytes <= gatheredVertices_.capacity() ? gatheredVertices_.take(bytes, false) : nullptr;
    if (!out) {
        oversizeCopy_.resize(bytes);
        out = oversizeCopy_.data();
    }
    std::memcpy(out, base, bytes);
    if (layout.pretransformed()) toClipSpace(base, stride, out, stride, count, parameters_);
    if (kept_) kept_->push_back(GivenDraw{state_, type, count, stride, {out, out + bytes}, {}});
    size_t offset = 0;
    if (out == oversizeCopy_.data()) {
        if (!oversize_) glGenBuffers(1, &oversize_);
        glBindBuffer(GL_ARRAY_BUFFER, oversize_);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(bytes), out, GL_STREAM_DRAW);
    } else {
        offset = gatheredVertices_.finish();
    }
    prepareDraw(layout);
    pipeline_->pointArrays(layout, offset, stride);
    drawVertices(type, count, 0, nullptr);
    unbindBuffers();
}

void GlDevice::drawFromBuffers(const GivenDraw& draw, const BufferPlacement& placement) {
    drawBound(draw.type, draw.count, draw.stride, draw.indices.size(), placement);
}

void GlDevice::drawBound(PrimitiveType type, uint32_t count, uint32_t stride, size_t indexCount,
                         const BufferPlacement& placement) {
    const DrawLayout layout{state_.fvf};
    prepareDraw(layout);
    pipeline_->pointArrays(layout, placement.vertices, stride);
    drawVertices(type, count, indexCount, reinterpret_cast<const void*>(placement.indices));
}

void GlDevice::prepareDraw(DrawLayout layout) {
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
