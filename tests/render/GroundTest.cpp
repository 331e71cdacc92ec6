// SPDX-License-Identifier: GPL-3.0-or-later
#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "math/MatrixBuilders.h"
#include "render/Ground.h"
#include "tests/platform/gfx/BmpBuilder.h"
#include "tests/platform/gl/OffscreenDevice.h"
#include "tests/render/RenderDeviceFixture.h"
#include "tests/support/TempPath.h"

namespace glassfalls {
namespace {

using namespace platform::gfx;
using test_support::Frame;

class GroundTest : public test_support::RenderDeviceFixture {
protected:
    void SetUp() override {
        RenderDeviceFixture::SetUp();
        if (HasFatalFailure()) return;
        device->setTransform(TransformState::View, matrixLookAtLH({0, 64, -64}, {0, 0, 16}, {0, 1, 0}));
    }

    // Draws the ground over a red screen and returns the centre pixel.
    uint32_t drawOverRed(Ground& ground, float brightness) {
        device->clear(clearFlags::Target | clearFlags::ZBuffer, 0xFFFF0000u, 1.0f, 0);
        EXPECT_TRUE(device->beginScene());
        ground.draw(*device, brightness);
        device->endScene();
        return Frame(*device).at(320, 240);
    }
};

TEST_F(GroundTest, BrightnessSetsTheGreyAndTheGroundIsHalfTransparent) {
    Ground ground;
    ground.init(*device);

    const uint32_t bright = drawOverRed(ground, 1.0f);
    EXPECT_NEAR(test_support::red(bright), 255, 1);
    EXPECT_NEAR(test_support::green(bright), 128, 2);

    const uint32_t half = drawOverRed(ground, 0.5f);
    EXPECT_NEAR(test_support::green(half), 63, 2) << "127.5 truncated, at half opacity";

    const uint32_t dark = drawOverRed(ground, 0.0f);
    EXPECT_NEAR(test_support::red(dark), 127, 2);
    EXPECT_EQ(test_support::green(dark), 0);
}

TEST_F(GroundTest, NetworkPictureFadesTowardACircleAndReplacesTheSand) {
    Ground ground;
    ground.init(*device);
    std::vector<uint8_t> picture(128 * 128 * 3, 200);
    ground.showNetPicture(picture.data());

    // The red channel of the texel.
    auto surfaceByte = [&](int row, int column) {
        return (ground.netPicture.texture->texels()[static_cast<size_t>(row * 128 + column)] >> 16) & 0xFF;
    };
    EXPECT_EQ(surfaceByte(64, 64), 200) << "the centre keeps its bytes";
    EXPECT_EQ(surfaceByte(0, 64), 0) << "64 away from the centre is black";
    EXPECT_EQ(surfaceByte(0, 0), 0);
    EXPECT_EQ(surfaceByte(64, 96), 150) << "half way out: 1 - 0.5 squared";
    EXPECT_TRUE(ground.netPictureShown);
    EXPECT_EQ(ground.floor[0].x, -40.0f);
    EXPECT_EQ(ground.floor[2].z, 40.0f);

    // From now on the brightness is ignored and the picture is drawn at the origin.
    device->setTransform(TransformState::World, Matrix4::translation(100, 0, 0));
    const uint32_t centre = drawOverRed(ground, 0.0f);
    EXPECT_EQ(ground.floor[0].colour, 0x80B0B0FFu);
    Matrix4 world;
    device->getTransform(TransformState::World, world);
    EXPECT_EQ(world, Matrix4::identity());
    // The screen centre looks at (0, 0, 16): 25.6 texels from the picture's centre, where
    // the grey 200 is faded to 200 x (1 - 0.4 squared) = 168; tinted by 0xB0B0FF, half
    // transparent over red.
    EXPECT_NEAR(test_support::blue(centre), 168 / 2, 3);
    EXPECT_NEAR(test_support::green(centre), 168 * 0xB0 / 255 / 2, 3);
}

}  // namespace
}  // namespace glassfalls

namespace glassfalls {
namespace {

// The same picture saved by other programs in other encodings, all named ground.bmp: each
// draws the ground as the 24-bit original does, within what its encoding loses.
class GroundFromAnyPicture : public test_support::RenderDeviceFixture {
protected:
    static uint32_t quarters(int x, int y) {
        static constexpr uint32_t kColours[4] = {0xC04020, 0x20A040, 0x3050C0, 0xE0E0D0};
        return kColours[(x / 16 + y / 16) % 4];
    }

    std::vector<uint32_t> drawGround(const std::vector<uint8_t>& file) {
        const auto path = test_support::tempPath("ground.bmp");
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
        Ground ground;
        ground.init(*device);
        const auto loaded = ground.floorPicture.loadFromFile(*device, path.string());
        std::filesystem::remove(path);
        EXPECT_TRUE(loaded) << loaded.error();
        device->setTransform(TransformState::View, matrixLookAtLH({0, 64, -64}, {0, 0, 16}, {0, 1, 0}));
        device->clear(clearFlags::Target | clearFlags::ZBuffer, 0xFF000000u, 1.0f, 0);
        EXPECT_TRUE(device->beginScene());
        ground.draw(*device, 1.0f);
        device->endScene();
        return Frame(*device).pixels;
    }

    static std::vector<uint8_t> encoded(SDL_Surface* surface, bool jpeg) {
        std::vector<uint8_t> bytes(1 << 20);
        SDL_RWops* out = SDL_RWFromMem(bytes.data(), static_cast<int>(bytes.size()));
        EXPECT_EQ(jpeg ? IMG_SaveJPG_RW(surface, out, 0, 90) : IMG_SavePNG_RW(surface, out, 0), 0) << IMG_GetError();
        bytes.resize(static_cast<size_t>(SDL_RWtell(out)));
        SDL_RWclose(out);
        return bytes;
    }
};

TEST_F(GroundFromAnyPicture, EveryEncodingDrawsLikeTheOriginal) {
    using test_support::BmpLayout;
    const auto original = drawGround(test_support::makeBmp({64, 64, 24, false, 0}, quarters));
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, 64, 64, 32, SDL_PIXELFORMAT_ARGB8888);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            static_cast<uint32_t*>(surface->pixels)[y * surface->pitch / 4 + x] = 0xFF000000u | quarters(x, y);
        }
    }
    const struct {
        const char* name;
        std::vector<uint8_t> file;
        int tolerance;  // the largest channel difference the encoding may cause
    } cases[] = {
        {"8-bit palette", test_support::makeBmp({64, 64, 8, false, test_support::kBiRgb}, quarters), 0},
        {"RLE8", test_support::makeBmp({64, 64, 8, false, test_support::kBiRle8}, quarters), 0},
        {"16-bit 565", test_support::makeBmp({64, 64, 16, false, test_support::kBiBitfields}, quarters), 4},
        {"32-bit top-down", test_support::makeBmp({64, 64, 32, true, test_support::kBiRgb}, quarters), 0},
        {"PNG named .bmp", encoded(surface, false), 0},
        {"JPEG named .bmp", encoded(surface, true), 40},  // at the blocks' sharp edges
    };
    SDL_FreeSurface(surface);
    for (const auto& c : cases) {
        const auto drawn = drawGround(c.file);
        ASSERT_EQ(drawn.size(), original.size());
        int worst = 0;
        for (size_t i = 0; i < drawn.size(); ++i) {
            for (int shift : {0, 8, 16}) {
                const int a = static_cast<int>(drawn[i] >> shift & 0xFF),
                          b = static_cast<int>(original[i] >> shift & 0xFF);
                worst = std::max(worst, std::abs(a - b));
            }
        }
        EXPECT_LE(worst, c.tolerance) << c.name;
    }
}

}  // namespace
}  // namespace glassfalls
