#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/gfx/DeviceTypes.h"

namespace glassfalls::platform::gfx {

class TextureRegistry;

// A texture in device memory with a copy of its top level kept in main memory, so that it
// can be locked for writing and survives a rebuilt device (the managed pool's promise).
// Texels are 32-bit 0xAARRGGBB, row 0 at the top of the picture. Made by
// GraphicsDevice::createTexture.
class DeviceTexture {
public:
    DeviceTexture(std::shared_ptr<TextureRegistry> registry, int width, int height, bool mipChain);
    ~DeviceTexture();
    DeviceTexture(const DeviceTexture&) = delete;
    DeviceTexture& operator=(const DeviceTexture&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }
    // Number of mip levels including the top one.
    uint32_t levelCount() const;

    // Only the top level (0) can be locked; the lower levels follow it on unlock.
    bool lockRect(uint32_t level, LockedRect& locked);
    bool unlockRect(uint32_t level);

    const uint32_t* texels() const { return texels_.data(); }
    uint32_t glName() const { return glName_; }

    // Sampler settings last given to the driver for this texture.
    struct AppliedSampler {
        TextureFilter minFilter{}, magFilter{}, mipFilter{};
        TextureAddress addressU{}, addressV{};
        bool valid = false;
        friend bool operator==(const AppliedSampler&, const AppliedSampler&) = default;
    };
    AppliedSampler applied;

    // Creates the driver's texture object from the copy in main memory.
    void upload();

private:
    std::shared_ptr<TextureRegistry> registry_;
    int width_;
    int height_;
    bool mipChain_;
    bool locked_ = false;
    uint32_t glName_ = 0;
    std::vector<uint32_t> texels_;
};

// The textures alive on one device, so that a rebuilt context can be refilled.
class TextureRegistry {
public:
    bool contextAlive = true;
    std::vector<DeviceTexture*> textures;
    // Draws the device still holds back; called before a texture's contents change or it goes.
    std::function<void()> flushPendingDraws;
};

}  // namespace glassfalls::platform::gfx
