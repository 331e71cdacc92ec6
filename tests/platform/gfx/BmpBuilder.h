// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

// Writes BMP files byte by byte, the way other programs lay them out, for reader tests.
namespace glassfalls::test_support {

inline constexpr uint32_t kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3;

struct BmpLayout {
    int width = 1;
    int height = 1;
    int bitsPerPixel = 24;  // 1, 4, 8: a palette of the picture's colours; 16: 555, or 565 with bit fields
    bool topDown = false;
    uint32_t compression = kBiRgb;
};

// colourAt(x, y) gives 0xRRGGBB with y = 0 at the top of the picture. For 1, 4 and 8 bits the
// picture must have few enough colours for the palette.
inline std::vector<uint8_t> makeBmp(const BmpLayout& layout, const std::function<uint32_t(int, int)>& colourAt) {
    const int bits = layout.bitsPerPixel;
    std::vector<uint32_t> palette;
    auto indexOf = [&](uint32_t c) {
        const auto it = std::find(palette.begin(), palette.end(), c);
        if (it != palette.end()) return static_cast<uint32_t>(it - palette.begin());
        palette.push_back(c);
        return static_cast<uint32_t>(palette.size() - 1);
    };
    if (bits <= 8) {
        for (int y = 0; y < layout.height; ++y) {
            for (int x = 0; x < layout.width; ++x) indexOf(colourAt(x, y));
        }
    }
    const size_t paletteBytes = bits <= 8 ? (4u << bits) : 0;
    const size_t masksBytes = layout.compression == kBiBitfields ? 12 : 0;
    const size_t dataOffset = 54 + masksBytes + paletteBytes;
    const size_t rowBytes = (static_cast<size_t>(layout.width) * static_cast<size_t>(bits) + 31) / 32 * 4;

    // Rows in file order: bottom row first unless top-down.
    std::vector<uint8_t> pixels;
    for (int r = 0; r < layout.height; ++r) {
        const int y = layout.topDown ? r : layout.height - 1 - r;
        if (layout.compression == kBiRle8 || layout.compression == kBiRle4) {
            for (int x = 0; x < layout.width;) {
                const uint32_t index = indexOf(colourAt(x, y));
                int run = 1;
                while (x + run < layout.width && run < 255 && indexOf(colourAt(x + run, y)) == index) ++run;
                pixels.push_back(static_cast<uint8_t>(run));
                pixels.push_back(static_cast<uint8_t>(layout.compression == kBiRle4 ? index << 4 | index : index));
                x += run;
            }
            pixels.insert(pixels.end(), {0, 0});  // end of line
            continue;
        }
        std::vector<uint8_t> row(rowBytes, 0xEE);  // padding a reader must skip, not show
        std::fill(
            row.begin(),
            row.begin() + static_cast<long>((static_cast<size_t>(layout.width) * static_cast<size_t>(bits) + 7) / 8),
            0);
        for (int x = 0; x < layout.width; ++x) {
            const uint32_t c = colourAt(x, y);
            const uint32_t r8 = c >> 16 & 0xFF, g8 = c >> 8 & 0xFF, b8 = c & 0xFF;
            if (bits <= 8) {
                const size_t bit = static_cast<size_t>(x) * static_cast<size_t>(bits);
                row[bit / 8] |= static_cast<uint8_t>(indexOf(c) << (8 - bits - bit % 8));
            } else if (bits == 16) {
                const uint32_t v = layout.compression == kBiBitfields ? (r8 >> 3) << 11 | (g8 >> 2) << 5 | b8 >> 3
                                                                      : (r8 >> 3) << 10 | (g8 >> 3) << 5 | b8 >> 3;
                row[static_cast<size_t>(x) * 2] = static_cast<uint8_t>(v);
                row[static_cast<size_t>(x) * 2 + 1] = static_cast<uint8_t>(v >> 8);
            } else {
                uint8_t* p = &row[static_cast<size_t>(x * bits / 8)];
                p[0] = static_cast<uint8_t>(b8);
                p[1] = static_cast<uint8_t>(g8);
                p[2] = static_cast<uint8_t>(r8);
                if (bits == 32) p[3] = 0x00;  // unused, and often zero
            }
        }
        pixels.insert(pixels.end(), row.begin(), row.end());
    }
    if (layout.compression == kBiRle8 || layout.compression == kBiRle4) pixels.insert(pixels.end(), {0, 1});

    std::vector<uint8_t> file(dataOffset, 0);
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
    put32(2, static_cast<uint32_t>(dataOffset + pixels.size()));
    put32(10, static_cast<uint32_t>(dataOffset));
    put32(14, 40);
    put32(18, static_cast<uint32_t>(layout.width));
    put32(22, static_cast<uint32_t>(layout.topDown ? -layout.height : layout.height));
    put16(26, 1);
    put16(28, static_cast<uint32_t>(bits));
    put32(30, layout.compression);
    put32(34, static_cast<uint32_t>(pixels.size()));
    if (bits <= 8) put32(46, static_cast<uint32_t>(palette.size()));
    if (masksBytes) {
        put32(54, 0xF800);
        put32(58, 0x07E0);
        put32(62, 0x001F);
    }
    for (size_t i = 0; i < palette.size() && bits <= 8; ++i) {
        const size_t at = 54 + masksBytes + i * 4;
        file[at] = static_cast<uint8_t>(palette[i]);
        file[at + 1] = static_cast<uint8_t>(palette[i] >> 8);
        file[at + 2] = static_cast<uint8_t>(palette[i] >> 16);
    }
    file.insert(file.end(), pixels.begin(), pixels.end());
    return file;
}

}  // namespace glassfalls::test_support
