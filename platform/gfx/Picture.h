#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace glassfalls::platform::gfx {

// A decoded picture: 32-bit 0xAARRGGBB texels, row 0 at the top.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> texels;
};

// Largest side accepted from a file: far beyond any picture of the piece, small enough that
// a hostile header cannot ask for gigabytes.
inline constexpr int kMaxPictureSide = 8192;

// An uncompressed 24- or 32-bit BMP, bottom-up or top-down, rows padded to 4 bytes. Every
// size in the header is checked against the bytes present; anything else is refused.
bool decodeBmp(std::span<const uint8_t> file, Picture& picture);

// Any PNG; transparency is kept in the alpha channel.
bool decodePng(std::span<const uint8_t> file, Picture& picture);

// BMP or PNG, told apart by their signatures.
bool decodePicture(std::span<const uint8_t> file, Picture& picture);

// Writes the picture as an 8-bit RGB PNG (alpha dropped).
bool writePngRgb(const std::string& path, const Picture& picture);

}  // namespace glassfalls::platform::gfx
