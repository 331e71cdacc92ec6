// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gl/FrameTarget.h"

#include <algorithm>
#include <bit>
#include <cstddef>

#include "platform/gl/Gl.h"

namespace glassfalls::platform::gl {

Letterbox letterbox(int frameWidth, int frameHeight, int drawableWidth, int drawableHeight) {
    // Compare drawableWidth / drawableHeight with frameWidth / frameHeight without rounding.
    const long long wide = static_cast<long long>(drawableWidth) * frameHeight;
    const long long tall = static_cast<long long>(drawableHeight) * frameWidth;
    Letterbox box{0, 0, drawableWidth, drawableHeight};
    if (wide > tall) {
        box.width = static_cast<int>(tall / frameHeight);
        box.x = (drawableWidth - box.width) / 2;
    } else {
        box.height = static_cast<int>(wide / frameWidth);
        box.y = (drawableHeight - box.height) / 2;
    }
    return box;
}

void rgbaBytesToTexels(std::vector<uint32_t>& pixels) {
    // R, G, B, A in memory is 0xAABBGGRR: red and blue change places.
    for (auto& p : pixels) p = (p & 0xFF00FF00u) | (p >> 16 & 0xFFu) | (p & 0xFFu) << 16;
}

bool FrameTarget::create(int width, int height, int samples) {
    release();
    width_ = width;
    height_ = height;
    samples_ = samples > 1 ? samples : 0;
    // A multisampled frame keeps its depth with its samples: what it resolves into needs none.
    if (!samples_) {
        glGenRenderbuffers(1, &depth_);
        glBindRenderbuffer(GL_RENDERBUFFER, depth_);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    }
    current_ = 0;
    if (!addColourBuffer()) return false;
    return !samples_ || addMultisampledBuffer();
}

bool FrameTarget::addMultisampledBuffer() {
    glGenRenderbuffers(1, &multisampledColour_);
    glBindRenderbuffer(GL_RENDERBUFFER, multisampledColour_);
    glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples_, GL_RGBA8, width_, height_);
    glGenRenderbuffers(1, &multisampledDepth_);
    glBindRenderbuffer(GL_RENDERBUFFER, multisampledDepth_);
    glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples_, GL_DEPTH_COMPONENT24, width_, height_);
    glGenFramebuffers(1, &multisampled_);
    glBindFramebuffer(GL_FRAMEBUFFER, multisampled_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, multisampledColour_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, multisampledDepth_);
    return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

void FrameTarget::resolve() {
    if (!multisampled_) return;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, multisampled_);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffers_[current_]);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glBlitFramebuffer(0, 0, width_, height_, 0, 0, width_, height_, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glBindFramebuffer(GL_FRAMEBUFFER, multisampled_);
}

bool FrameTarget::addColourBuffer() {
    const int added = colourBuffers_++;
    glGenRenderbuffers(1, &colours_[added]);
    glBindRenderbuffer(GL_RENDERBUFFER, colours_[added]);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width_, height_);
    glGenFramebuffers(1, &framebuffers_[added]);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffers_[added]);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colours_[added]);
    if (depth_) glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth_);
    const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glBindFramebuffer(GL_FRAMEBUFFER, drawingFramebuffer());
    return complete;
}

void FrameTarget::abandon() {
    for (int i = 0; i < kColourBuffers; ++i) framebuffers_[i] = colours_[i] = 0;
    colourBuffers_ = 0;
    depth_ = 0;
    multisampled_ = multisampledColour_ = multisampledDepth_ = 0;
    turnPending_ = false;
    readTurn_.reset();
}

void FrameTarget::release() {
    glDeleteFramebuffers(colourBuffers_, framebuffers_);
    glDeleteRenderbuffers(colourBuffers_, colours_);
    if (depth_) glDeleteRenderbuffers(1, &depth_);
    if (multisampled_) glDeleteFramebuffers(1, &multisampled_);
    for (uint32_t buffer : {multisampledColour_, multisampledDepth_}) {
        if (buffer) glDeleteRenderbuffers(1, &buffer);
    }
    abandon();
}

void FrameTarget::bind() {
    if (turnPending_) {
        turnPending_ = false;
        current_ = (current_ + 1) % colourBuffers_;
        ++turns_;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, drawingFramebuffer());
}

void FrameTarget::presentInto(int drawableWidth, int drawableHeight) {
    const Letterbox box = letterbox(width_, height_, drawableWidth, drawableHeight);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffers_[current_]);
    const bool exact = box.width == width_ && box.height == height_;
    glBlitFramebuffer(0, 0, width_, height_, box.x, box.y, box.x + box.width, box.y + box.height, GL_COLOR_BUFFER_BIT,
                      exact ? GL_NEAREST : GL_LINEAR);
    glBindFramebuffer(GL_FRAMEBUFFER, drawingFramebuffer());
}

void FrameTarget::read(std::vector<uint32_t>& pixels) { readFrom(current_, pixels); }

void FrameTarget::startRead() {
    // The second buffer is made when frames are first read this way, so that a piece that
    // never does it (a live one) holds one frame's colour, not two.
    if (colourBuffers_ < kColourBuffers) addColourBuffer();
    readTurn_ = turns_;
}

bool FrameTarget::finishRead(std::vector<uint32_t>& pixels) {
    if (!readTurn_) return false;
    const uint64_t since = turns_ - *readTurn_;
    readTurn_.reset();
    // Turned once: the frame is in the other buffer, as it was left.
    if (since >= static_cast<uint64_t>(colourBuffers_)) return false;
    readFrom((current_ + colourBuffers_ - static_cast<int>(since)) % colourBuffers_, pixels);
    return true;
}

void FrameTarget::readFrom(int buffer, std::vector<uint32_t>& pixels) {
    const auto w = static_cast<size_t>(width_);
    const auto h = static_cast<size_t>(height_);
    pixels.resize(w * h);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffers_[buffer]);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    // B, G, R, A in memory is 0xAARRGGBB on a little-endian machine.
    static_assert(std::endian::native == std::endian::little, "the frame is read as bytes into 32-bit texels");
    glReadPixels(0, 0, width_, height_, readsBgra ? GL_BGRA : GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    glBindFramebuffer(GL_READ_FRAMEBUFFER, drawingFramebuffer());
    // OpenGL hands the bottom row over first.
    for (size_t row = 0; row < h / 2; ++row) {
        std::swap_ranges(pixels.begin() + static_cast<std::ptrdiff_t>(row * w),
                         pixels.begin() + static_cast<std::ptrdiff_t>((row + 1) * w),
                         pixels.begin() + static_cast<std::ptrdiff_t>((h - 1 - row) * w));
    }
    if (!readsBgra) rgbaBytesToTexels(pixels);
    for (auto& p : pixels) p |= 0xFF000000u;
}

}  // namespace glassfalls::platform::gl
