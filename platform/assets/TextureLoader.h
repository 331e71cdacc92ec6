// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>

#include "platform/assets/Picture.h"
#include "platform/gfx/GraphicsDevice.h"

// Texture creation and loading as the scenes call them by their published names.
namespace glassfalls::platform::gfx {

// An empty texture with one level (mipChain false) or every level.
std::unique_ptr<DeviceTexture> createTexture(GraphicsDevice& device, int width, int height, bool mipChain);

// A texture holding the decoded picture file (any format assets::decodePicture reads) at its own
// size, with its full mip chain;
// null when the file cannot be read or decoded.
std::unique_ptr<DeviceTexture> createTextureFromFile(GraphicsDevice& device, const std::string& path);

// Fills level 0 of a texture of the picture's size.
bool fillTexture(DeviceTexture& texture, const assets::Picture& picture);

}  // namespace glassfalls::platform::gfx
