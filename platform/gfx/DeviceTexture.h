// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gfx/DeviceTypes.h"

namespace glassfalls::platform::gfx {

// A texture with a copy of its top level kept in main memory, so that it can be locked for
// writing and survives a rebuilt device (the managed pool's promise). Texels are 32-bit
// 0xAARRGGBB, row 0 at the top of the picture. Made by GraphicsDevice::createTexture, whose
// backend keeps the driver's copy in step.
class DeviceTexture {
public:
    virtual ~DeviceTexture() = default;
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

protected:
    DeviceTexture(int width, int height, bool mipChain);
    // The texels were written through a lock: the device's own copy must follow them.
    virtual void texelsChanged() = 0;

private:
    int width_;
    int height_;
    bool mipChain_;
    bool locked_ = false;
    std::vector<uint32_t> texels_;
};

}  // namespace glassfalls::platform::gfx
