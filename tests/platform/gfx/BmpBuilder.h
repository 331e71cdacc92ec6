#pragma once

#include <cstdint>
#include <functional>
#include <vector>

// Writes BMP files byte by byte, the way other programs lay them out, for reader tests.
namespace glassfalls::test_support {

struct BmpLayout {
    int width = 1;
    int height = 1;
    int bitsPerPixel = 24;
    bool topDown = false;
    uint32_t compression = 0;
};

// colourAt(x, y) gives 0xRRGGBB with y = 0 at the top of the picture.
inline std::vector<uint8_t> makeBmp(const BmpLayout& layout,
                                    const std::function<uint32_t(int, int)>& colourAt) {
    const int bytesPerPixel = layout.bitsPerPixel / 8;
    const size_t rowBytes = (static_cast<size_t>(layout.width) * static_cast<size_t>(layout.bitsPerPixel) + 31) / 32 * 4;
    const size_t dataOffset = 54 + (layout.bitsPerPixel <= 8 ? 4u << layout.bitsPerPixel : 0u);
    const size_t size = dataOffset + rowBytes * static_cast<size_t>(layout.height);
    std::vector<uint8_t> file(size, 0);
    auto put16 = [&](size_t at, uint32_t v) {
        file[at] = static_cast<uint8_t>(v);
        file[at + 1] = static_cast<uint8_t>(v >> 8);
    };
    auto put32 = [&](size_t at, uint32_t v) {
        put16(at, v & 0xFFFF);
        put16(at + 2, v >> 16);
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<uint32_t>(size));
    put32(10, static_cast<uint32_t>(dataOffset));
    put32(14, 40);
    put32(18, static_cast<uint32_t>(layout.width));
    put32(22, static_cast<uint32_t>(layout.topDown ? -layout.height : layout.height));
    put16(26, 1);
    put16(28, static_cast<uint32_t>(layout.bitsPerPixel));
    put32(30, layout.compression);
    if (bytesPerPixel < 3) return file;
    for (int y = 0; y < layout.height; ++y) {
        const int fileRow = layout.topDown ? y : layout.height - 1 - y;
        uint8_t* row = &file[dataOffset + rowBytes * static_cast<size_t>(fileRow)];
        for (int x = 0; x < layout.width; ++x) {
            const uint32_t c = colourAt(x, y);
            uint8_t* p = row + x * bytesPerPixel;
            p[0] = static_cast<uint8_t>(c);
            p[1] = static_cast<uint8_t>(c >> 8);
            p[2] = static_cast<uint8_t>(c >> 16);
            if (bytesPerPixel == 4) p[3] = 0x00;  // unused, and often zero
        }
        // Padding bytes that a reader must skip, not show.
        for (size_t pad = static_cast<size_t>(layout.width * bytesPerPixel); pad < rowBytes; ++pad) row[pad] = 0xEE;
    }
    return file;
}

}  // namespace glassfalls::test_support
