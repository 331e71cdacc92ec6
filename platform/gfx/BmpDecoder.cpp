#include <cstdlib>

#include "platform/gfx/Picture.h"

namespace glassfalls::platform::gfx {

namespace {

uint32_t read16(std::span<const uint8_t> b, size_t at) {
    return static_cast<uint32_t>(b[at] | b[at + 1] << 8);
}

uint32_t read32(std::span<const uint8_t> b, size_t at) {
    return static_cast<uint32_t>(b[at]) | static_cast<uint32_t>(b[at + 1]) << 8 |
           static_cast<uint32_t>(b[at + 2]) << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

constexpr size_t kFileHeaderBytes = 14;
constexpr size_t kInfoHeaderBytes = 40;
constexpr uint32_t kUncompressed = 0;
constexpr uint32_t kBitFields = 3;

}  // namespace

bool decodeBmp(std::span<const uint8_t> file, Picture& picture) {
    if (file.size() < kFileHeaderBytes + kInfoHeaderBytes) return false;
    if (file[0] != 'B' || file[1] != 'M') return false;
    const uint32_t pixelOffset = read32(file, 10);
    const uint32_t infoSize = read32(file, 14);
    const auto width = static_cast<int32_t>(read32(file, 18));
    const auto rawHeight = static_cast<int32_t>(read32(file, 22));
    const uint32_t planes = read16(file, 26);
    const uint32_t bitsPerPixel = read16(file, 28);
    const uint32_t compression = read32(file, 30);

    if (infoSize < kInfoHeaderBytes || planes != 1) return false;
    if (bitsPerPixel != 24 && bitsPerPixel != 32) return false;
    // Bit fields are only accepted for 32 bits, and read as the usual 8-8-8 layout.
    if (compression != kUncompressed && !(compression == kBitFields && bitsPerPixel == 32)) {
        return false;
    }
    if (width <= 0 || width > kMaxPictureSide) return false;
    if (rawHeight == 0 || rawHeight < -kMaxPictureSide || rawHeight > kMaxPictureSide) return false;
    const bool topDown = rawHeight < 0;
    const int height = std::abs(rawHeight);

    const size_t bytesPerPixel = bitsPerPixel / 8;
    const size_t rowBytes = (static_cast<size_t>(width) * bitsPerPixel + 31) / 32 * 4;
    const size_t dataBytes = rowBytes * static_cast<size_t>(height);
    if (pixelOffset < kFileHeaderBytes + kInfoHeaderBytes || pixelOffset > file.size() ||
        file.size() - pixelOffset < dataBytes) {
        return false;
    }

    picture.width = width;
    picture.height = height;
    picture.texels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    for (int row = 0; row < height; ++row) {
        const int fileRow = topDown ? row : height - 1 - row;
        const uint8_t* in = file.data() + pixelOffset + rowBytes * static_cast<size_t>(fileRow);
        uint32_t* out = picture.texels.data() + static_cast<size_t>(row) * static_cast<size_t>(width);
        for (int column = 0; column < width; ++column, in += bytesPerPixel) {
            // The fourth byte of a 32-bit BMP is unused: the picture is opaque.
            out[column] = 0xFF000000u | static_cast<uint32_t>(in[2]) << 16 |
                          static_cast<uint32_t>(in[1]) << 8 | in[0];
        }
    }
    return true;
}

}  // namespace glassfalls::platform::gfx
