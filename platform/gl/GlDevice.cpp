#include "platform/gl/GlDevice.h"

#include <algorithm>
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
      registry_(std::make_shared<TextureRegistry>()) {
    registry_->flushPendingDraws = [this] { flush(); };
}

GlDevice::~GlDevice() {
    // The objects below belong to this device's context, whichever is current now.
    context_->makeCurrent();
    registry_->flushPendingDraws = nullptr;
    pending_.clear();
    white_.reset();
    frame_.release();
    registry_->contextAlive = false;
}

Result GlDevice::reset(const PresentParameters& parameters) {
    if (!sideAccepted(parameters.backBufferWidth) || !sideAccepted(parameters.backBufferHeight)) {
        return Result::InvalidCall;
    }
    pending_.clear();
    if (lost_) {
        std::string error;
        frame_.abandon();
        if (!context_->recreate(error)) return Result::DeviceLost;
        // Every texture lives on in main memory; give the new context its own copy.
        for (GlTexture* texture : registry_->textures) texture->upload();
        lost_ = false;
    }
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

void GlDevice::drawPrimitiveUp(PrimitiveType type, uint32_t primitiveCount, const void* vertices,
                               uint32_t stride) {
    const uint32_t count = vertexCount(type, primitiveCount);
    if (!inScene_ || count == 0 || !vertices) return;
    const bool triangles = type == PrimitiveType::TriangleList || type == PrimitiveType::TriangleStrip ||
                           type == PrimitiveType::TriangleFan;
    if (!merging_ || !triangles) {
        flush();
        drawNow(type, count, vertices, stride);
        return;
    }
    if (!pending_.empty() && (state_.fvf != pendingFvf_ || stride != pendingStride_)) flush();
    pendingFvf_ = state_.fvf;
    pendingStride_ = stride;
    // The vertices once each, and every triangle as indices in the order OpenGL would
    // assemble it: strips keep their winding by swapping the first two corners of every
    // second triangle; fans turn about their first corner.
    const auto first = static_cast<uint32_t>(pending_.size() / stride);
    const auto* base = static_cast<const uint8_t*>(vertices);
    pending_.insert(pending_.end(), base, base + size_t{count} * stride);
    for (uint32_t t = 0; t < primitiveCount; ++t) {
        uint32_t corners[3] = {3 * t, 3 * t + 1, 3 * t + 2};
        if (type == PrimitiveType::TriangleStrip) {
            corners[0] = t % 2 ? t + 1 : t;
            corners[1] = t % 2 ? t : t + 1;
            corners[2] = t + 2;
        } else if (type == PrimitiveType::TriangleFan) {
            corners[0] = 0;
            corners[1] = t + 1;
            corners[2] = t + 2;
        }
        for (const uint32_t corner : corners) pendingIndices_.push_back(first + corner);
    }
}

void GlDevice::flush() {
    if (pending_.empty()) return;
    const auto count = static_cast<uint32_t>(pending_.size() / pendingStride_);
    const uint32_t fvf = state_.fvf;
    state_.fvf = pendingFvf_;
    drawNow(PrimitiveType::TriangleList, count, pending_.data(), pendingStride_, pendingIndices_);
    state_.fvf = fvf;
    pending_.clear();
    pendingIndices_.clear();
}

void GlDevice::drawNow(PrimitiveType type, uint32_t count, const void* vertices, uint32_t stride,
                       std::span<const uint32_t> indices) {
    const uint32_t format = state_.fvf;
    const bool pretransformed = (format & fvf::XyzRhw) != 0;
    if (!pretransformed && !(format & fvf::Xyz)) return;
    prepareDraw(pretransformed, (format & fvf::Diffuse) != 0);

    const auto* base = static_cast<const uint8_t*>(vertices);
    if (pretransformed) {
        // Screen pixels with y down, turned into clip coordinates; w = 1 / rhw keeps
        // texturing perspective-correct. Whole-number coordinates fall on pixel edges, so a
        // rectangle covers exactly the pixels it names and texel centres meet pixel centres.
        const float width = static_cast<float>(parameters_.backBufferWidth);
        const float height = static_cast<float>(parameters_.backBufferHeight);
        scratch_.resize(size_t{count} * 4);
        for (uint32_t i = 0; i < count; ++i) {
            const auto* v = reinterpret_cast<const float*>(base + size_t{i} * stride);
            const float w = v[3] != 0.0f ? 1.0f / v[3] : 1.0f;
            scratch_[i * 4 + 0] = (v[0] * 2.0f / width - 1.0f) * w;
            scratch_[i * 4 + 1] = (1.0f - v[1] * 2.0f / height) * w;
            scratch_[i * 4 + 2] = (v[2] * 2.0f - 1.0f) * w;
            scratch_[i * 4 + 3] = w;
        }
    }
    pointArrays(reinterpret_cast<uintptr_t>(base), stride, reinterpret_cast<uintptr_t>(scratch_.data()));
    if (kept_) {
        kept_->push_back({state_, type, count, stride, {base, base + size_t{count} * stride},
                          pretransformed ? scratch_ : std::vector<float>{}, {indices.begin(), indices.end()}});
    }
    drawVertices(type, count, indices.size(), indices.data());
}

void GlDevice::drawFromBuffers(const GivenDraw& draw, const BufferPlacement& placement) {
    const uint32_t format = state_.fvf;
    prepareDraw((format & fvf::XyzRhw) != 0, (format & fvf::Diffuse) != 0);
    pointArrays(placement.vertices, draw.stride, placement.clipPositions);
    drawVertices(draw.type, draw.count, draw.indices.size(), reinterpret_cast<const void*>(placement.indices));
}

void GlDevice::pointArrays(uintptr_t base, uint32_t stride, uintptr_t clipPositions) {
    const uint32_t format = state_.fvf;
    const bool pretransformed = (format & fvf::XyzRhw) != 0;
    const auto at = [base](size_t offset) { return reinterpret_cast<const void*>(base + offset); };
    size_t offset = pretransformed ? 16 : 12;
    const auto glStride = static_cast<GLsizei>(stride);
    if (pretransformed) {
        glVertexPointer(4, GL_FLOAT, 0, reinterpret_cast<const void*>(clipPositions));
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
