#include "platform/gl/FrameTarget.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <utility>

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

bool FrameTarget::create(int width, int height) {
    release();
    width_ = width;
    height_ = height;
    glGenRenderbuffers(1, &colour_);
    glBindRenderbuffer(GL_RENDERBUFFER, colour_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glGenRenderbuffers(1, &depth_);
    glBindRenderbuffer(GL_RENDERBUFFER, depth_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    glGenFramebuffers(1, &framebuffer_);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth_);
    return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

void FrameTarget::abandon() {
    framebuffer_ = colour_ = depth_ = 0;
}

void FrameTarget::release() {
    if (framebuffer_) glDeleteFramebuffers(1, &framebuffer_);
    if (colour_) glDeleteRenderbuffers(1, &colour_);
    if (depth_) glDeleteRenderbuffers(1, &depth_);
    abandon();
}

void FrameTarget::bind() const { glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_); }

void FrameTarget::presentInto(int drawableWidth, int drawableHeight) const {
    const Letterbox box = letterbox(width_, height_, drawableWidth, drawableHeight);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
    const bool exact = box.width == width_ && box.height == height_;
    glBlitFramebuffer(0, 0, width_, height_, box.x, box.y, box.x + box.width, box.y + box.height,
                      GL_COLOR_BUFFER_BIT, exact ? GL_NEAREST : GL_LINEAR);
    bind();
}

void FrameTarget::read(std::vector<uint32_t>& pixels) const {
    const auto w = static_cast<size_t>(width_);
    const auto h = static_cast<size_t>(height_);
    pixels.resize(w * h);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    // B, G, R, A in memory is 0xAARRGGBB on a little-endian machine.
    static_assert(std::endian::native == std::endian::little, "the frame is read as bytes into 32-bit texels");
    if (readsBgra) {
        glReadPixels(0, 0, width_, height_, GL_BGRA, GL_UNSIGNED_BYTE, pixels.data());
    } else {
        glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        rgbaBytesToTexels(pixels);
    }
    // OpenGL hands the bottom row over first.
    for (size_t row = 0; row < h / 2; ++row) {
        std::swap_ranges(pixels.begin() + static_cast<std::ptrdiff_t>(row * w),
                         pixels.begin() + static_cast<std::ptrdiff_t>((row + 1) * w),
                         pixels.begin() + static_cast<std::ptrdiff_t>((h - 1 - row) * w));
    }
    for (auto& p : pixels) p |= 0xFF000000u;
}

}  // namespace glassfalls::platform::gl
