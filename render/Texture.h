// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/GraphicsDevice.h"

namespace glassfalls {

struct RgbPixel {
    uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const RgbPixel&, const RgbPixel&) = default;
};

// A picture read from a file into RGB pixels, bottom row first.
class Image {
public:
    virtual ~Image() = default;
    // Any picture file the loader reads (a BMP by name, whatever its content); fails (with
    // no pixels) when it cannot be read or decoded.
    platform::Expected<void> loadPicture(const std::string& fileName);

    int32_t width = 0;
    int32_t height = 0;
    std::vector<RgbPixel> pixels;
};

// A CPU-side RGB picture, created empty to be drawn into pixel by pixel and uploaded to a
// texture.
class DibSurface {
public:
    // An empty picture: 3 bytes per pixel (2 at 16 bits per pixel), row 0 first, all zero.
    platform::Expected<void> create(int32_t width, int32_t height, int32_t bitsPerPixel);

    int32_t bitsPerPixel = 0;
    std::vector<uint8_t> buffer;
    int32_t width = 0;
    int32_t height = 0;
};

// A picture on the device: loaded from a file, or filled from its own DibSurface.
class Texture : public Image {
public:
    // Decodes any picture file the loader reads into a texture with its full mip chain.
    // Callers call it once per texture. The failure names the file.
    platform::Expected<void> loadFromFile(platform::gfx::GraphicsDevice& device, const std::string& name);
    // An empty width x height picture (black, opaque) with a DibSurface to draw into.
    platform::Expected<void> createDib(platform::gfx::GraphicsDevice& device, int32_t width, int32_t height);
    // Copies a rectangle of the DibSurface into the texture, clipped to the picture. The
    // whole picture, unchanged since it was last copied whole, is not copied again: the
    // DibSurface is the texture's only writer.
    bool uploadRegion(platform::gfx::GraphicsDevice& device, int32_t x, int32_t y, int32_t w, int32_t h);

    std::unique_ptr<platform::gfx::DeviceTexture> texture;
    std::string fileName;
    std::unique_ptr<DibSurface> dib;
    int32_t pictureWidth = 0;
    int32_t pictureHeight = 0;

private:
    std::vector<uint8_t> copiedWhole_;  // the DibSurface as last copied whole; empty when not
};

}  // namespace glassfalls
