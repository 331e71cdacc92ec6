// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/gfx/DeviceTexture.h"

namespace glassfalls::platform::gl {

class TextureRegistry;

// A texture of the OpenGL device: the copy in main memory and the driver's texture object
// made from it.
class GlTexture final : public gfx::DeviceTexture {
public:
    GlTexture(std::shared_ptr<TextureRegistry> registry, int width, int height, bool mipChain);
    ~GlTexture() override;

    uint32_t glName() const { return glName_; }

    // Sampler settings last given to the driver for this texture.
    struct AppliedSampler {
        gfx::TextureFilter minFilter{}, magFilter{}, mipFilter{};
        gfx::TextureAddress addressU{}, addressV{};
        bool valid = false;
        friend bool operator==(const AppliedSampler&, const AppliedSampler&) = default;
    };
    AppliedSampler applied;

    // Creates the driver's texture object from the copy in main memory.
    void upload();

private:
    void texelsChanged() override;

    std::shared_ptr<TextureRegistry> registry_;
    uint32_t glName_ = 0;
};

// The textures alive on one device, so that a rebuilt context can be refilled.
class TextureRegistry {
public:
    bool contextAlive = true;
    // Texels go to OpenGL as BGRA; otherwise as RGBA bytes (what ES takes) that the shaders
    // read in B, G, R, A order.
    bool bgraTexels = true;
    std::vector<GlTexture*> textures;
    // Draws the device still holds back; called before a texture's contents change or it goes.
    std::function<void()> flushPendingDraws;
};

}  // namespace glassfalls::platform::gl
