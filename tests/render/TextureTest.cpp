// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/gfx/RecordingDevice.h"
#include "render/Texture.h"
#include "tests/platform/gfx/BmpBuilder.h"
#include "tests/support/TempPath.h"

namespace glassfalls {
namespace {

using platform::gfx::LockedRect;
using test_support::makeBmp;

std::string writeTemp(const std::string& name, const std::vector<uint8_t>& bytes) {
    const auto path = test_support::tempPath("texture-test-" + name);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path.string();
}

uint32_t texelAt(platform::gfx::DeviceTexture& texture, int x, int y) {
    LockedRect locked;
    EXPECT_TRUE(texture.lockRect(0, locked));
    const uint32_t texel = reinterpret_cast<const uint32_t*>(locked.bits + y * locked.pitch)[x];
    texture.unlockRect(0);
    return texel;
}

TEST(ImageLoadBmp, KeepsTheFilesBottomRowFirstAsRgb) {
    auto file = makeBmp({2, 2, 24, false, 0}, [](int, int) { return 0u; });
    file[54] = 1, file[55] = 2, file[56] = 3;
    const std::string path = writeTemp("rgb.bmp", file);
    Image image;
    ASSERT_TRUE(image.loadPicture(path));
    EXPECT_EQ(image.width, 2);
    EXPECT_EQ(image.height, 2);
    EXPECT_EQ(image.pixels.at(0), (RgbPixel{3, 2, 1}));

    // A top-down file of the same picture gives the same bottom-first pixels.
    const auto picture = [](int x, int y) { return static_cast<uint32_t>(x + 10 * y); };
    Image bottomUp, topDown;
    ASSERT_TRUE(bottomUp.loadPicture(writeTemp("bu.bmp", makeBmp({3, 2, 24, false, 0}, picture))));
    ASSERT_TRUE(topDown.loadPicture(writeTemp("td.bmp", makeBmp({3, 2, 24, true, 0}, picture))));
    EXPECT_EQ(bottomUp.pixels, topDown.pixels);
    EXPECT_EQ(bottomUp.pixels.at(0).b, 10) << "bottom row first";
}

TEST(ImageLoadBmp, AnyPictureIsReadAndAFileThatIsNoneLeavesNoPixels) {
    Image image;
    ASSERT_TRUE(
        image.loadPicture(writeTemp("8.bmp", makeBmp({2, 2, 8, false, 0}, [](int, int) { return 0x102030u; }))));
    EXPECT_EQ(image.pixels.at(3), (RgbPixel{0x10, 0x20, 0x30}));
    EXPECT_FALSE(image.loadPicture(writeTemp("text.bmp", {'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c'})));
    EXPECT_TRUE(image.pixels.empty());
    EXPECT_FALSE(image.loadPicture("/nonexistent/picture.bmp"));
}

// The texels are the copy in main memory: no driver needed.
class TextureOnDevice : public ::testing::Test {
protected:
    std::unique_ptr<platform::gfx::GraphicsDevice> device = std::make_unique<platform::gfx::RecordingDevice>();
};

TEST_F(TextureOnDevice, CreateDibGivesABlackOpaquePicture) {
    Texture texture;
    ASSERT_TRUE(texture.createDib(*device, 128, 64));
    EXPECT_EQ(texture.pictureWidth, 128);
    EXPECT_EQ(texture.pictureHeight, 64);
    ASSERT_TRUE(texture.dib);
    EXPECT_EQ(texture.dib->buffer.size(), 128u * 64u * 3u);
    EXPECT_EQ(texelAt(*texture.texture, 127, 63), 0xFF000000u);

    // A second call replaces the texture with one of the new size.
    ASSERT_TRUE(texture.createDib(*device, 16, 8));
    EXPECT_EQ(texture.texture->width(), 16);
    EXPECT_EQ(texture.dib->width, 16);
}

TEST_F(TextureOnDevice, UploadRegionCopiesRgbWithFullAlphaOnlyInsideThePicture) {
    Texture texture;
    ASSERT_TRUE(texture.createDib(*device, 8, 8));
    for (size_t i = 0; i < texture.dib->buffer.size(); i += 3) {
        texture.dib->buffer[i] = 0x10, texture.dib->buffer[i + 1] = 0x20, texture.dib->buffer[i + 2] = 0x30;
    }
    // From (6, 6) on, 4 x 4 reaches past the picture: only 2 x 2 of it is inside.
    ASSERT_TRUE(texture.uploadRegion(*device, 6, 6, 4, 4));
    EXPECT_EQ(texelAt(*texture.texture, 6, 6), 0xFF102030u);
    EXPECT_EQ(texelAt(*texture.texture, 7, 7), 0xFF102030u);
    EXPECT_EQ(texelAt(*texture.texture, 5, 7), 0xFF000000u);

    ASSERT_TRUE(texture.uploadRegion(*device, -5, -5, 100, 100));
    EXPECT_EQ(texelAt(*texture.texture, 0, 0), 0xFF102030u);
}

// The light mask and the network picture are copied in whole every time they are made; the
// driver is given only a picture that changed.
TEST_F(TextureOnDevice, AWholePictureIsGivenToTheDriverOnlyWhenItChanged) {
    auto& recorder = static_cast<platform::gfx::RecordingDevice&>(*device);
    Texture texture;
    ASSERT_TRUE(texture.createDib(*device, 8, 8));
    struct Step {
        const char* what;
        int x, y, side;
        int changedByte;  // -1: none
        size_t fills;
    };
    const Step steps[] = {
        {"the same picture again", 0, 0, 8, -1, 0}, {"one byte changed", 0, 0, 8, 5, 1},
        {"that picture again", -2, -2, 20, -1, 0},  {"a part, unchanged", 2, 2, 2, -1, 1},
        {"the whole after a part", 0, 0, 8, -1, 1}, {"and again", 0, 0, 8, -1, 0},
    };
    for (const Step& step : steps) {
        if (step.changedByte >= 0) ++texture.dib->buffer[static_cast<size_t>(step.changedByte)];
        recorder.forgetCalls();
        EXPECT_TRUE(texture.uploadRegion(*device, step.x, step.y, step.side, step.side)) << step.what;
        EXPECT_EQ(recorder.callsOf(platform::gfx::DeviceCall::Kind::TextureFilled).size(), step.fills) << step.what;
    }
    EXPECT_EQ(texelAt(*texture.texture, 1, 0), 0xFF000001u) << "the changed byte is the second pixel's blue";
}

TEST_F(TextureOnDevice, LoadingFromFileKeepsTheNameAndFailsCleanly) {
    const auto file = makeBmp({4, 2, 24, true, 0}, [](int x, int y) { return x == 0 && y == 0 ? 0xABCDEFu : 0u; });
    Texture texture;
    ASSERT_TRUE(texture.loadFromFile(*device, writeTemp("load.bmp", file)));
    EXPECT_NE(texture.fileName.find("load.bmp"), std::string::npos);
    EXPECT_EQ(texture.texture->width(), 4);
    EXPECT_EQ(texture.texture->levelCount(), 3u);
    EXPECT_EQ(texelAt(*texture.texture, 0, 0), 0xFFABCDEFu) << "row 0 of a texture is the picture's top";

    Texture missing;
    EXPECT_FALSE(missing.loadFromFile(*device, "/nonexistent/ground.bmp"));
    EXPECT_FALSE(missing.texture);
    EXPECT_FALSE(missing.uploadRegion(*device, 0, 0, 1, 1)) << "nothing to upload into";
}

}  // namespace
}  // namespace glassfalls
