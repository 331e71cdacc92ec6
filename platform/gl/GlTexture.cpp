// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gl/GlTexture.h"

#include <algorithm>

#include "platform/gl/Gl.h"

namespace glassfalls::platform::gl {

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

// How the texels, 0xAARRGGBB each, are handed to OpenGL.
struct TexelTransfer {
    GLenum format, type;
};
TexelTransfer transferOf(const TextureRegistry& registry) {
    if (registry.bgraTexels) return {GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV};
    return {GL_RGBA, GL_UNSIGNED_BYTE};
}

}  // namespace

GlTexture::GlTexture(std::shared_ptr<TextureRegistry> registry, int width, int height, bool mipChain)
    : DeviceTexture(width, height, mipChain), registry_(std::move(registry)) {
    registry_->textures.push_back(this);
    upload();
}

GlTexture::~GlTexture() {
    if (registry_->flushPendingDraws) registry_->flushPendingDraws();
    auto& list = registry_->textures;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    // After the device is gone there is no context to delete the name from.
    if (registry_->contextAlive && glName_ != 0) glDeleteTextures(1, &glName_);
}

void GlTexture::texelsChanged() {
    if (registry_->flushPendingDraws) registry_->flushPendingDraws();
    ScopedBinding binding(glName_);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    const TexelTransfer transfer = transferOf(*registry_);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width(), height(), transfer.format, transfer.type, texels());
    if (levelCount() > 1) glGenerateMipmap(GL_TEXTURE_2D);
}

void GlTexture::upload() {
    glGenTextures(1, &glName_);
    ScopedBinding binding(glName_);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(levelCount() - 1));
    const TexelTransfer transfer = transferOf(*registry_);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width(), height(), 0, transfer.format, transfer.type, texels());
    if (levelCount() > 1) glGenerateMipmap(GL_TEXTURE_2D);
    applied = {};
}

}  // namespace glassfalls::platform::gl
