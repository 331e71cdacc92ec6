#include "platform/gl/GlDevice.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/gl/Gl.h"

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

// Back to drawing from the caller's memory.
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
    std::unique_ptr<GlDevice> device(new GlDevice(std::move(context), parameters));
    if (device->reset(parameters) != Result::Ok) {
        error = "cannot create a " + std::to_string(parameters.backBufferWidth) + " x " +
                std::to_string(parameters.backBufferHeight) + " frame buffer on " +
                device->renderer();
        return nullptr;
    }
    return device;
}

GlDevice::GlDevice(std::unique_ptr<GlContext> context, const PresentParameters& parameters)
    : GraphicsDevice(parameters),
      context_(std::move(context)),
      registry_(std::make_shared<TextureRegistry>()),
      gatheredVertices_(GL_ARRAY_BUFFER, kGatheredVertexBytes),
      gatheredIndices_(GL_ELEMENT_ARRAY_BUFFER, kGatheredIndexBytes) {
    registry_->flushPendingDraws = [this] { flush(); };
}

GlDevice::~GlDevice() {
    // The objects below belong to this device's context, whichever is current now.
    context_->makeCurrent();
    registry_->flushPendingDraws = nullptr;
    gatheredVertices_.release();
    gatheredIndices_.release();
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
        if (!context_->recreate(error)) return Result::DeviceLost;
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
        glClearDepth(z);
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
    glDepthRange(viewport.minZ, viewport.maxZ);
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
    const uint32_t format = state_.fvf;
    const bool pretransformed = (format & fvf::XyzRhw) != 0;
    if (!pretransformed && !(format & fvf::Xyz)) return;
    prepareDraw(pretransformed, (format & fvf::Diffuse) != 0);
    const auto* base = static_cast<const uint8_t*>(vertices);
    auto positions = reinterpret_cast<uintptr_t>(base);
    uint32_t positionStride = stride;
    if (pretransformed) {
        scratch_.resize(size_t{count} * 4);
        auto* clip = reinterpret_cast<uint8_t*>(scratch_.data());
        toClipSpace(base, stride, clip, 4 * sizeof(float), count, parameters_);
        positions = reinterpret_cast<uintptr_t>(clip);
        positionStride = 4 * sizeof(float);
    }
    pointArrays(reinterpret_cast<uintptr_t>(base), stride, positions, positionStride);
    if (kept_) {
        GivenDraw& kept = kept_->emplace_back(GivenDraw{state_, type, count, stride, {base, base + size_t{count} * stride}, {}});
        if (pretransformed) toClipSpace(base, stride, kept.vertices.data(), stride, count, parameters_);
    }
    drawVertices(type, count, 0, nullptr);
}

void GlDevice::drawFromBuffers(const GivenDraw& draw, const BufferPlacement& placement) {
    drawBound(draw.type, draw.count, draw.stride, draw.indices.size(), placement);
}

void GlDevice::drawBound(PrimitiveType type, uint32_t count, uint32_t stride, size_t indexCount,
                         const BufferPlacement& placement) {
    const uint32_t format = state_.fvf;
    prepareDraw((format & fvf::XyzRhw) != 0, (format & fvf::Diffuse) != 0);
    pointArrays(placement.vertices, stride, placement.vertices, stride);
    drawVertices(type, count, indexCount, reinterpret_cast<const void*>(placement.indices));
}

void GlDevice::pointArrays(uintptr_t base, uint32_t stride, uintptr_t positions, uint32_t positionStride) {
    const uint32_t format = state_.fvf;
    const bool pretransformed = (format & fvf::XyzRhw) != 0;
    const auto at = [base](size_t offset) { return reinterpret_cast<const void*>(base + offset); };
    size_t offset = pretransformed ? 16 : 12;
    const auto glStride = static_cast<GLsizei>(stride);
    if (pretransformed) {
        glVertexPointer(4, GL_FLOAT, static_cast<GLsizei>(positionStride), reinterpret_cast<const void*>(positions));
    } else {
        glVertexPointer(3, GL_FLOAT, glStride, at(0));
    }
    glEnableClientState(GL_VERTEX_ARRAY);
    if (format & fvf::Normal) {
        glNormalPointer(GL_FLOAT, glStride, at(offset));
        glEnableClientState(GL_NORMAL_ARRAY);
        offset += 12;
    } else {
        glDisableClientState(GL_NORMAL_ARRAY);
        glNormal3f(0, 0, 0);
    }
    if (format & fvf::Diffuse) {
        glColorPointer(GL_BGRA, GL_UNSIGNED_BYTE, glStride, at(offset));
        glEnableClientState(GL_COLOR_ARRAY);
        offset += 4;
    } else {
        glDisableClientState(GL_COLOR_ARRAY);
        glColor4f(1, 1, 1, 1);
    }
    if (format & fvf::Specular) offset += 4;
    if (format & 0xF00) {
        glTexCoordPointer(2, GL_FLOAT, glStride, at(offset));
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    } else {
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoord2f(0, 0);
    }
}

}  // namespace glassfalls::platform::gl
