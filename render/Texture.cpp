// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/Texture.h"

#include <algorithm>

#include "platform/assets/Picture.h"
#include "platform/assets/TextureLoader.h"
#include "platform/os/WholeFile.h"

namespace glassfalls {

namespace assets = platform::assets;

using assets::Picture;
using platform::gfx::LockedRect;

namespace {

// The decoded picture's rows turned bottom row first, as BMP files store them.
void forEachBottomUp(const Picture& picture, auto&& store) {
    for (int row = picture.height - 1; row >= 0; --row) {
        const size_t start = static_cast<size_t>(row) * static_cast<size_t>(picture.width);
        for (int column = 0; column < picture.width; ++column) {
            const uint32_t texel = picture.texels[start + static_cast<size_t>(column)];
            store(RgbPixel{static_cast<uint8_t>(texel >> 16), static_cast<uint8_t>(texel >> 8),
                           static_cast<uint8_t>(texel)});
        }
    }
}

platform::Expected<Picture> readPicture(const std::string& fileName) {
    std::vector<uint8_t> bytes;
    if (!platform::readWholeFile(fileName, bytes)) return platform::failure("cannot read " + fileName);
    Picture picture;
    if (!assets::decodePicture(bytes, picture))
        return platform::failure(fileName + " is not a picture the piece reads");
    return picture;
}

}  // namespace

platform::Expected<void> Image::loadPicture(const std::string& fileName) {
    pixels.clear();
    const auto picture = readPicture(fileName);
    if (!picture) return platform::Failure{picture.error()};
    width = picture->width;
    height = picture->height;
    pixels.reserve(picture->texels.size());
    forEachBottomUp(*picture, [this](RgbPixel p) { pixels.push_back(p); });
    return {};
}

platform::Expected<void> DibSurface::create(int32_t w, int32_t h, int32_t bits) {
    if (w <= 0 || h <= 0 || w > assets::kMaxPictureSide || h > assets::kMaxPictureSide) {
        return platform::failure("no picture can be " + std::to_string(w) + " x " + std::to_string(h) + " pixels");
    }
    width = w;
    height = h;
    bitsPerPixel = bits;
    const size_t count = static_cast<size_t>(w) * static_cast<size_t>(h);
    buffer.assign(count * (bits == 16 ? 2 : 3), 0);
    return {};
}

platform::Expected<void> Texture::loadFromFile(platform::gfx::GraphicsDevice& device, const std::string& name) {
    fileName = name;
    auto loaded = platform::gfx::createTextureFromFile(device, name);
    if (!loaded) return platform::failure("cannot load " + name);
    texture = std::move(loaded);
    return {};
}

platform::Expected<void> Texture::createDib(platform::gfx::GraphicsDevice& device, int32_t w, int32_t h) {
    pictureWidth = w;
    pictureHeight = h;
    texture.reset();
    copiedWhole_.clear();
    texture = platform::gfx::createTexture(device, w, h, false);
    const std::string size = std::to_string(w) + " x " + std::to_string(h);
    if (!texture) return platform::failure("the device cannot make a " + size + " texture");
    dib = std::make_unique<DibSurface>();
    GLASSFALLS_TRY(dib->create(w, h, 24));
    if (!uploadRegion(device, 0, 0, w, h)) return platform::failure("cannot fill the " + size + " texture");
    return {};
}

bool Texture::uploadRegion(platform::gfx::GraphicsDevice&, int32_t x, int32_t y, int32_t w, int32_t h) {
    // The copy reads three bytes per pixel: only a 24-bit surface has them.
    if (!texture || !dib || dib->bitsPerPixel != 24) return false;
    // In 64 bits: a rectangle reaching far past the picture must not overflow.
    auto clip = [](int64_t value, int32_t limit) { return static_cast<int32_t>(std::clamp<int64_t>(value, 0, limit)); };
    const int32_t left = clip(x, pictureWidth);
    const int32_t top = clip(y, pictureHeight);
    const int32_t right = clip(int64_t{x} + w, std::min(pictureWidth, dib->width));
    const int32_t bottom = clip(int64_t{y} + h, std::min(pictureHeight, dib->height));
    const bool whole = left == 0 && top == 0 && right == std::min(pictureWidth, dib->width) &&
                       bottom == std::min(pictureHeight, dib->height);
    if (whole && dib->buffer == copiedWhole_) return true;
    LockedRect locked;
    if (!texture->lockRect(0, locked)) return false;
    const int32_t textureRight = std::min(right, texture->width());
    const int32_t textureBottom = std::min(bottom, texture->height());
    for (int32_t j = top; j < textureBottom; ++j) {
        uint32_t* row = locked.row(j);
        for (int32_t i = left; i < textureRight; ++i) {
            const uint8_t* p = &dib->buffer[static_cast<uint32_t>((j * dib->width + i) * 3)];
            row[i] = platform::gfx::opaqueColour(p[0], p[1], p[2]);
        }
    }
    if (whole) {
        copiedWhole_ = dib->buffer;
    } else if (left < right && top < bottom) {
        copiedWhole_.clear();
    }
    return texture->unlockRect(0);
}

}  // namespace glassfalls
