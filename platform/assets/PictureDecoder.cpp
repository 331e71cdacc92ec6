// SPDX-License-Identifier: GPL-3.0-or-later
#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cstring>

#include "platform/assets/Picture.h"

namespace glassfalls::platform::assets {

namespace {

enum class Format { Bmp, Png, Jpeg, Tga };

uint32_t bigEndian16(std::span<const uint8_t> f, size_t at) { return static_cast<uint32_t>(f[at] << 8 | f[at + 1]); }
uint32_t littleEndian16(std::span<const uint8_t> f, size_t at) { return static_cast<uint32_t>(f[at] | f[at + 1] << 8); }
uint32_t bigEndian32(std::span<const uint8_t> f, size_t at) {
    return bigEndian16(f, at) << 16 | bigEndian16(f, at + 2);
}
int32_t littleEndian32(std::span<const uint8_t> f, size_t at) {
    return static_cast<int32_t>(littleEndian16(f, at) | littleEndian16(f, at + 2) << 16);
}

bool sideOk(int64_t side) { return side > 0 && side <= kMaxPictureSide; }

// The picture's size as its header declares it, read before any decoder allocates for it:
// a header that asks for more than kMaxPictureSide a side is refused up front.
bool declaredSizeOk(Format format, std::span<const uint8_t> f) {
    switch (format) {
        case Format::Bmp: {
            if (f.size() < 26) return false;
            const int32_t headerSize = littleEndian32(f, 14);
            if (headerSize == 12) return sideOk(littleEndian16(f, 18)) && sideOk(littleEndian16(f, 20));
            const int64_t height = littleEndian32(f, 22);
            return sideOk(littleEndian32(f, 18)) && sideOk(height < 0 ? -height : height);
        }
        case Format::Png: return f.size() >= 24 && sideOk(bigEndian32(f, 16)) && sideOk(bigEndian32(f, 20));
        case Format::Jpeg:
            // The first start-of-frame segment holds the size.
            for (size_t at = 2; at + 9 <= f.size();) {
                if (f[at] != 0xFF) return false;
                const uint8_t marker = f[at + 1];
                if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
                    return sideOk(bigEndian16(f, at + 5)) && sideOk(bigEndian16(f, at + 7));
                }
                at += 2 + bigEndian16(f, at + 2);
            }
            return false;
        case Format::Tga: return f.size() >= 18 && sideOk(littleEndian16(f, 12)) && sideOk(littleEndian16(f, 14));
    }
    return false;
}

// Every chunk of a PNG lies within the file, up to its end chunk. The decoder is given only
// complete files: with one cut short after a damaged chunk it warned about the damage over
// and over, forever.
bool pngComplete(std::span<const uint8_t> f) {
    for (size_t at = 8; at + 12 <= f.size();) {
        const uint64_t length = bigEndian32(f, at);
        if (length > f.size() - at - 12) return false;
        if (std::memcmp(&f[at + 4], "IEND", 4) == 0) return true;
        at += 12 + static_cast<size_t>(length);
    }
    return false;
}

// BMP, PNG and JPEG are told by their signatures; TGA has none, so it is what is left.
Format formatOf(SDL_RWops* stream) {
    if (IMG_isBMP(stream)) return Format::Bmp;
    if (IMG_isPNG(stream)) return Format::Png;
    if (IMG_isJPG(stream)) return Format::Jpeg;
    return Format::Tga;
}

SDL_Surface* loadPicture(std::span<const uint8_t> file) {
    const int size = static_cast<int>(std::min<size_t>(file.size(), 1u << 30));
    SDL_RWops* stream = SDL_RWFromConstMem(file.data(), size);
    if (!stream) return nullptr;
    const Format format = formatOf(stream);
    SDL_Surface* surface = nullptr;
    if (declaredSizeOk(format, file) && (format != Format::Png || pngComplete(file))) {
        switch (format) {
            case Format::Bmp: surface = IMG_LoadBMP_RW(stream); break;
            case Format::Png: surface = IMG_LoadPNG_RW(stream); break;
            case Format::Jpeg: surface = IMG_LoadJPG_RW(stream); break;
            case Format::Tga: surface = IMG_LoadTGA_RW(stream); break;
        }
    }
    SDL_RWclose(stream);
    return surface;
}

}  // namespace

bool decodePicture(std::span<const uint8_t> file, Picture& picture) {
    SDL_Surface* loaded = loadPicture(file);
    if (!loaded) return false;
    const bool sizeOk = loaded->w > 0 && loaded->h > 0 && loaded->w <= kMaxPictureSide && loaded->h <= kMaxPictureSide;
    // Converted to 0xAARRGGBB: alpha from the file where it has one (a colour key becomes
    // transparency), opaque otherwise.
    SDL_Surface* argb = sizeOk ? SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0) : nullptr;
    SDL_FreeSurface(loaded);
    if (!argb) return false;
    picture.width = argb->w;
    picture.height = argb->h;
    picture.texels.resize(static_cast<size_t>(argb->w) * static_cast<size_t>(argb->h));
    SDL_LockSurface(argb);
    for (int y = 0; y < argb->h; ++y) {
        std::memcpy(&picture.texels[static_cast<size_t>(y) * static_cast<size_t>(argb->w)],
                    static_cast<const uint8_t*>(argb->pixels) + static_cast<ptrdiff_t>(y) * argb->pitch,
                    static_cast<size_t>(argb->w) * 4);
    }
    SDL_UnlockSurface(argb);
    SDL_FreeSurface(argb);
    return true;
}

}  // namespace glassfalls::platform::assets
