// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/assets/TextureLoader.h"

#include <cstring>

#include "platform/assets/Picture.h"
#include "platform/os/WholeFile.h"

namespace glassfalls::platform::gfx {

std::unique_ptr<DeviceTexture> createTexture(GraphicsDevice& device, int width, int height, bool mipChain) {
    return device.createTexture(width, height, mipChain);
}

bool fillTexture(DeviceTexture& texture, const assets::Picture& picture) {
    if (texture.width() != picture.width || texture.height() != picture.height) return false;
    LockedRect locked;
    if (!texture.lockRect(0, locked)) return false;
    std::memcpy(locked.bits, picture.texels.data(), picture.texels.size() * sizeof(uint32_t));
    return texture.unlockRect(0);
}

std::unique_ptr<DeviceTexture> createTextureFromFile(GraphicsDevice& device, const std::string& path) {
    std::vector<uint8_t> bytes;
    assets::Picture picture;
    if (!readWholeFile(path, bytes) || !assets::decodePicture(bytes, picture)) return nullptr;
    auto texture = device.createTexture(picture.width, picture.height, true);
    if (!texture || !fillTexture(*texture, picture)) return nullptr;
    return texture;
}

}  // namespace glassfalls::platform::gfx
