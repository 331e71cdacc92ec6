#include "platform/file/WholeFile.h"
#include "platform/gfx/Picture.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstring>
#include <filesystem>

#include "tests/platform/gfx/BmpBuilder.h"
#include "tests/support/TempPath.h"

namespace glassfalls::platform::gfx {
namespace {

using test_support::BmpLayout;
using test_support::makeBmp;

uint32_t diagonal(int x, int y) {
    return static_cast<uint32_t>(x * 40) << 16 | static_cast<uint32_t>(y * 50) << 8 |
           static_cast<uint32_t>(x + y);
}

void expectDiagonal(const Picture& picture, int width, int height) {
    ASSERT_EQ(picture.width, width);
    ASSERT_EQ(picture.height, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            EXPECT_EQ(picture.texels[static_cast<size_t>(y * width + x)], 0xFF000000u | diagonal(x, y))
                << "at " << x << ", " << y;
        }
    }
}

TEST(BmpDecoder, PaddedRowsInEitherOrderAndBothDepthsGiveTheSamePicture) {
    // Widths 1, 2, 3 and 5 at 24 bits leave 1 to 3 padding bytes per row.
    for (int width : {1, 2, 3, 5}) {
        for (bool topDown : {false, true}) {
            for (int bits : {24, 32}) {
                Picture picture;
                const auto file = makeBmp({width, 3, bits, topDown, 0}, diagonal);
                ASSERT_TRUE(decodeBmp(file, picture)) << width << (topDown ? " top-down " : " bottom-up ") << bits;
                expectDiagonal(picture, width, 3);
            }
        }
    }
}

TEST(BmpDecoder, FirstFilePixelBytesAreBlueGreenRed) {
    auto file = makeBmp({2, 2, 24, false, 0}, [](int, int) { return 0u; });
    const size_t bottomLeft = 54;
    file[bottomLeft] = 1, file[bottomLeft + 1] = 2, file[bottomLeft + 2] = 3;
    Picture picture;
    ASSERT_TRUE(decodeBmp(file, picture));
    EXPECT_EQ(picture.texels[2], 0xFF030201u) << "the file's first row is the picture's bottom";
}

TEST(BmpDecoder, RefusesWhatItCannotShowFaithfully) {
    const auto plain = [](int, int) { return 0x123456u; };
    Picture picture;
    EXPECT_FALSE(decodeBmp(makeBmp({4, 4, 8, false, 0}, plain), picture)) << "8-bit palette";
    EXPECT_FALSE(decodeBmp(makeBmp({4, 4, 16, false, 0}, plain), picture)) << "16-bit";
    EXPECT_FALSE(decodeBmp(makeBmp({4, 4, 24, false, 1}, plain), picture)) << "run-length";

    auto file = makeBmp({4, 4, 24, false, 0}, plain);
    file[1] = 'A';
    EXPECT_FALSE(decodeBmp(file, picture)) << "not a BM signature";

    auto huge = makeBmp({4, 4, 24, false, 0}, plain);
    huge[18] = 0xFF, huge[19] = 0xFF, huge[20] = 0xFF, huge[21] = 0x7F;
    EXPECT_FALSE(decodeBmp(huge, picture)) << "a width the file cannot hold";

    auto offset = makeBmp({4, 4, 24, false, 0}, plain);
    offset[10] = 0xF0, offset[11] = 0xFF;
    EXPECT_FALSE(decodeBmp(offset, picture)) << "pixel data past the end";
}

TEST(BmpDecoder, EveryTruncationIsRefused) {
    const auto file = makeBmp({3, 3, 24, false, 0}, diagonal);
    Picture picture;
    for (size_t length = 0; length < file.size(); ++length) {
        EXPECT_FALSE(decodeBmp(std::span(file.data(), length), picture)) << "first " << length << " bytes";
    }
    EXPECT_TRUE(decodeBmp(file, picture));
}

std::vector<uint8_t> encodeRgbaPng(int width, int height, const std::vector<uint8_t>& rgba) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    EXPECT_TRUE(png_image_write_to_memory(&image, nullptr, &size, 0, rgba.data(), 0, nullptr));
    std::vector<uint8_t> bytes(size);
    EXPECT_TRUE(png_image_write_to_memory(&image, bytes.data(), &size, 0, rgba.data(), 0, nullptr));
    bytes.resize(size);
    return bytes;
}

TEST(PngDecoder, KeepsAlphaAndRowOrder) {
    // Two rows: opaque red over half-transparent blue.
    const auto png = encodeRgbaPng(1, 2, {255, 0, 0, 255, 0, 0, 255, 128});
    Picture picture;
    ASSERT_TRUE(decodePicture(png, picture));
    ASSERT_EQ(picture.texels.size(), 2u);
    EXPECT_EQ(picture.texels[0], 0xFFFF0000u);
    EXPECT_EQ(picture.texels[1], 0x800000FFu);
    EXPECT_FALSE(decodePicture(std::span(png.data(), png.size() / 2), picture)) << "truncated";
}

TEST(PngWriter, WritesWhatTheDecoderReadsBack) {
    Picture frame;
    frame.width = 3;
    frame.height = 2;
    frame.texels = {0xFF010203u, 0xFF040506u, 0xFF070809u, 0xFFFFFFFFu, 0xFF000000u, 0xFF808080u};
    const auto path = test_support::tempPath("png-writer-test.png");
    ASSERT_TRUE(writePngRgb(path.string(), frame));
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(readWholeFile(path.string(), bytes));
    std::filesystem::remove(path);
    Picture back;
    ASSERT_TRUE(decodePicture(bytes, back));
    EXPECT_EQ(back.width, 3);
    EXPECT_EQ(back.texels, frame.texels);
}

}  // namespace
}  // namespace glassfalls::platform::gfx
