#include "platform/gfx/DeviceTexture.h"

#include "platform/gfx/Gl.h"

#include <algorithm>
#include <bit>

namespace glassfalls::platform::gfx {

namespace {

// Binds a texture for the length of a scope and then gives the previous binding back, so
// that filling a texture never changes what the next draw samples.
class ScopedBinding {
public:
    explicit ScopedBinding(GLuint name) {
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous_);
        glBindTexture(GL_TEXTURE_2D, name);
    }
    ~ScopedBinding() { glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous_)); }
    ScopedBinding(const ScopedBinding&) = delete;
    ScopedBinding& operator=(const ScopedBinding&) = delete;

private:
    GLint previous_ = 0;
};

}  // namespace

DeviceTexture::DeviceTexture(std::shared_ptr<TextureRegistry> registry, int width, int height,
                             bool mipChain)
    : registry_(std::move(registry)),
      width_(width),
      height_(height),
      mipChain_(mipChain),
      texels_(static_cast<size_t>(width) * static_cast<size_t>(height), 0u) {
    registry_->textures.push_back(this);
    upload();
}

DeviceTexture::~DeviceTexture() {
    if (registry_->flushPendingDraws) registry_->flushPendingDraws();
    auto& list = registry_->textures;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    // After the device is gone there is no context to delete the name from.
    if (registry_->contextAlive && glName_ != 0) glDeleteTextures(1, &glName_);
}

uint32_t DeviceTexture::levelCount() const {
    if (!mipChain_) return 1;
    return static_cast<uint32_t>(std::bit_width(static_cast<unsigned>(std::max(width_, height_))));
}

bool DeviceTexture::lockRect(uint32_t level, LockedRect& locked) {
    if (level != 0 || locked_) return false;
    locked_ = true;
    locked.pitch = width_ * 4;
    locked.bits = reinterpret_cast<uint8_t*>(texels_.data());
    return true;
}

bool DeviceTexture::unlockRect(uint32_t level) {
    if (level != 0 || !locked_) return false;
    locked_ = false;
    if (registry_->flushPendingDraws) registry_->flushPendingDraws();
    ScopedBinding binding(glName_);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width_, height_, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                    texels_.data());
    if (mipChain_) glGenerateMipmap(GL_TEXTURE_2D);
    return true;
}

void DeviceTexture::upload() {
    glGenTextures(1, &glName_);
    ScopedBinding binding(glName_);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(levelCount() - 1));
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width_, height_, 0, GL_BGRA,
                 GL_UNSIGNED_INT_8_8_8_8_REV, texels_.data());
    if (mipChain_) glGenerateMipmap(GL_TEXTURE_2D);
    applied = {};
}

}  // namespace glassfalls::platform::gfx
