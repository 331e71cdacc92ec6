// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <png.h>

#include <cstring>
#include <filesystem>

#include "platform/assets/Picture.h"
#include "platform/os/WholeFile.h"
#include "tests/platform/gfx/BmpBuilder.h"
#include "tests/support/TempPath.h"

namespace glassfalls::platform::gfx {
namespace {

using test_support::BmpLayout;
using test_support::makeBmp;

uint32_t diagonal(int x, int y) {
    return static_cast<uint32_t>(x * 40) << 16 | static_cast<uint32_t>(y * 50) << 8 | static_cast<uint32_t>(x + y);
}

// Four colours in blocks, so that every palette and every run length is exercised; the
// 16-bit layouts keep only their top bits.
uint32_t blocks(int x, int y) {
    static constexpr uint32_t kColours[4] = {0xF80000, 0x00FC00, 0x0000F8, 0xF8FCF8};
    return kColours[(x / 3 + y / 2) % 4];
}

TEST(PictureDecoder, EveryBmpLayoutGivesThePicture) {
    struct Case {
        const char* name;
        BmpLayout layout;
        uint32_t (*colourAt)(int, int);
        uint32_t kept = 0xFFFFFF;  // the bits the layout keeps
    };
    const auto twoColours = [](int x, int y) { return (x + y) % 2 ? 0xFFFFFFu : 0x000000u; };
    const Case cases[] = {
        {"24-bit bottom-up", {5, 3, 24, false, test_support::kBiRgb}, diagonal},
        {"24-bit top-down", {5, 3, 24, true, test_support::kBiRgb}, diagonal},
        {"32-bit bottom-up, unused byte zero", {5, 3, 32, false, test_support::kBiRgb}, diagonal},
        {"32-bit top-down", {2, 3, 32, true, test_support::kBiRgb}, diagonal},
        {"1-bit", {7, 3, 1, false, test_support::kBiRgb}, twoColours},
        {"4-bit", {7, 5, 4, false, test_support::kBiRgb}, blocks},
        {"8-bit", {7, 5, 8, false, test_support::kBiRgb}, blocks},
        {"8-bit top-down", {7, 5, 8, true, test_support::kBiRgb}, blocks},
        {"RLE8", {9, 5, 8, false, test_support::kBiRle8}, blocks},
        {"RLE4", {9, 5, 4, false, test_support::kBiRle4}, blocks},
        {"16-bit 565", {7, 5, 16, false, test_support::kBiBitfields}, blocks, 0xF8FCF8},
    };
    for (const Case& c : cases) {
        assets::Picture picture;
        ASSERT_TRUE(assets::decodePicture(makeBmp(c.layout, c.colourAt), picture)) << c.name;
        ASSERT_EQ(picture.width, c.layout.width) << c.name;
        ASSERT_EQ(picture.height, c.layout.height) << c.name;
        for (int y = 0; y < c.layout.height; ++y) {
            for (int x = 0; x < c.layout.width; ++x) {
                const uint32_t texel = picture.texels[static_cast<size_t>(y * c.layout.width + x)];
                ASSERT_EQ(texel >> 24, 0xFFu) << c.name << ": opaque";
                ASSERT_EQ(texel & c.kept, c.colourAt(x, y) & c.kept) << c.name << " at " << x << ", " << y;
            }
        }
    }
    // 555 keeps five bits of each channel.
    assets::Picture picture;
    ASSERT_TRUE(assets::decodePicture(
        makeBmp({3, 2, 16, false, test_support::kBiRgb}, [](int, int) { return 0xF8F8F8u; }), picture));
    EXPECT_EQ(picture.texels[0] & 0xF8F8F8u, 0xF8F8F8u);
}

TEST(PictureDecoder, FirstFilePixelBytesAreBlueGreenRed) {
    auto file = makeBmp({2, 2, 24, false, 0}, [](int, int) { return 0u; });
    const size_t bottomLeft = 54;
    file[bottomLeft] = 1, file[bottomLeft + 1] = 2, file[bottomLeft + 2] = 3;
    assets::Picture picture;
    ASSERT_TRUE(assets::decodePicture(file, picture));
    EXPECT_EQ(picture.texels[2], 0xFF030201u) << "the file's first row is the picture's bottom";
}

TEST(PictureDecoder, RefusesWhatIsNotAPicture) {
    const auto plain = [](int, int) { return 0x123456u; };
    assets::Picture picture;
    auto file = makeBmp({4, 4, 24, false, 0}, plain);
    file[0] = 'X';
    EXPECT_FALSE(assets::decodePicture(file, picture)) << "not a BM signature";
    const std::string text = "hello, this is not a picture";
    EXPECT_FALSE(assets::decodePicture(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()), picture));
    EXPECT_FALSE(assets::decodePicture({}, picture)) << "empty";

    auto huge = makeBmp({4, 4, 24, false, 0}, plain);
    huge[18] = 0xFF, huge[19] = 0xFF, huge[20] = 0xFF, huge[21] = 0x7F;
    EXPECT_FALSE(assets::decodePicture(huge, picture)) << "a width the file cannot hold";
}

// A PNG cut short right after a chunk whose check sum is wrong: the decoder used to warn
// about that chunk forever.
TEST(PictureDecoder, APngCutShortAfterADamagedChunkIsRefusedAtOnce) {
    std::vector<uint8_t> png;
    ASSERT_TRUE(readWholeFile(std::string(GLASSFALLS_SOURCE_DIR) + "/tests/fuzz/picture-seeds/tiny-rgba.png", png));
    for (size_t at = 8; at + 12 <= png.size();) {
        const size_t length = static_cast<size_t>(png[at] << 24 | png[at + 1] << 16 | png[at + 2] << 8 | png[at + 3]);
        if (std::memcmp(&png[at + 4], "cHRM", 4) == 0) {
            png[at + 8 + length] ^= 0xFF;
            png.resize(at + 12 + length);
            break;
        }
        at += 12 + length;
    }
    assets::Picture picture;
    EXPECT_FALSE(assets::decodePicture(png, picture));
}

TEST(PictureDecoder, TruncatedFilesAreRefused) {
    const auto file = makeBmp({3, 3, 24, false, 0}, diagonal);
    assets::Picture picture;
    for (size_t length = 0; length < 60; ++length) {
        EXPECT_FALSE(assets::decodePicture(std::span(file.data(), length), picture)) << "first " << length << " bytes";
    }
    EXPECT_TRUE(assets::decodePicture(file, picture));
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

TEST(PictureDecoder, PngKeepsAlphaAndRowOrder) {
    // Two rows: opaque red over half-transparent blue.
    const auto png = encodeRgbaPng(1, 2, {255, 0, 0, 255, 0, 0, 255, 128});
    assets::Picture picture;
    ASSERT_TRUE(assets::decodePicture(png, picture));
    ASSERT_EQ(picture.texels.size(), 2u);
    EXPECT_EQ(picture.texels[0], 0xFFFF0000u);
    EXPECT_EQ(picture.texels[1], 0x800000FFu);
    EXPECT_FALSE(assets::decodePicture(std::span(png.data(), png.size() / 2), picture)) << "truncated";
}

TEST(PngWriter, WritesWhatTheDecoderReadsBack) {
    assets::Picture frame;
    frame.width = 3;
    frame.height = 2;
    frame.texels = {0xFF010203u, 0xFF040506u, 0xFF070809u, 0xFFFFFFFFu, 0xFF000000u, 0xFF808080u};
    const auto path = test_support::tempPath("png-writer-test.png");
    ASSERT_TRUE(assets::writePngRgb(path.string(), frame));
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(readWholeFile(path.string(), bytes));
    std::filesystem::remove(path);
    assets::Picture back;
    ASSERT_TRUE(assets::decodePicture(bytes, back));
    EXPECT_EQ(back.width, 3);
    EXPECT_EQ(back.texels, frame.texels);
}

}  // namespace
}  // namespace glassfalls::platform::gfx
