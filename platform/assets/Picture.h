// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace glassfalls::platform::assets {

// A decoded picture: 32-bit 0xAARRGGBB texels, row 0 at the top.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> texels;
};

// Largest side accepted from a file: far beyond any picture of the piece, small enough that
// a hostile header cannot ask for gigabytes.
inline constexpr int kMaxPictureSide = 8192;

// A picture file told by its content whatever its name says, decoded by SDL_image: BMP (1 to
// 32 bits, palettes, bit fields, run-length, either row order), PNG (every colour type and
// depth), JPEG and TGA. Alpha comes from the file where it has one (a transparent palette
// colour included), opaque otherwise. False for anything else, a broken file, or one that
// declares more than kMaxPictureSide a side.
bool decodePicture(std::span<const uint8_t> file, Picture& picture);

// Writes the picture as an 8-bit RGB PNG (alpha dropped).
bool writePngRgb(const std::string& path, const Picture& picture);

}  // namespace glassfalls::platform::assets
