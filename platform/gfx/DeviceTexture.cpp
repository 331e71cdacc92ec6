// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gfx/DeviceTexture.h"

#include <algorithm>
#include <bit>

namespace glassfalls::platform::gfx {

DeviceTexture::DeviceTexture(int width, int height, bool mipChain)
    : width_(width),
      height_(height),
      mipChain_(mipChain),
      texels_(static_cast<size_t>(width) * static_cast<size_t>(height), 0u) {}

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
    texelsChanged();
    return true;
}

}  // namespace glassfalls::platform::gfx
