// SPDX-License-Identifier: GPL-3.0-or-later
// The screen fade and the light mask, drawn for real off-screen.
#include <gtest/gtest.h>

#include "render/LightMask.h"
#include "render/ScreenFade.h"
#include "tests/platform/gfx/Vertices.h"
#include "tests/platform/gl/OffscreenDevice.h"
#include "tests/render/RenderDeviceFixture.h"

namespace glassfalls {
namespace {

using namespace platform::gfx;
using test_support::Frame;

// The overlays rely on the state every frame starts from.
class Overlays : public test_support::RenderDeviceFixture {
protected:
    // An opaque picture to draw overlays on: left half grey 200, right half white.
    void beginOnPicture(uint32_t left = 0xFFC8C8C8u, uint32_t right = 0xFFFFFFFFu) {
        device->clear(clearFlags::Target | clearFlags::ZBuffer, 0xFF000000u, 1.0f, 0);
        ASSERT_TRUE(device->beginScene());
        device->setRenderState(renderState::Lighting, 0);
        device->setRenderState(renderState::CullMode, Cull::None);
        device->setFvf(test_support::ScreenVertex::kFormat);
        const auto l = test_support::screenQuad(0, 0, 320, 480, left);
        const auto r = test_support::screenQuad(320, 0, 640, 480, right);
        device->drawPrimitiveUp(PrimitiveType::TriangleFan, 2, l.data(), sizeof l[0]);
        device->drawPrimitiveUp(PrimitiveType::TriangleFan, 2, r.data(), sizeof r[0]);
    }

    uint8_t maskAt(const LightMask& mask, int column, int row) {
        return mask.texture.dib->buffer[static_cast<size_t>((row * LightMask::kColumns + column) * 3)];
    }
};

TEST_F(Overlays, FadeAlphaZeroLeavesThePictureAndFullAlphaBlacksItOut) {
    ScreenFade fade;
    fade.init(640, 480);
    beginOnPicture();
    fade.draw(*device, Matrix4::identity(), 0);
    device->endScene();
    const Frame clear(*device);
    EXPECT_EQ(clear.at(10, 10), 0xC8C8C8u);
    EXPECT_EQ(clear.at(630, 470), 0xFFFFFFu);
    EXPECT_EQ(device->getRenderState(renderState::CullMode), Cull::Clockwise) << "left for what follows";

    beginOnPicture();
    fade.draw(*device, Matrix4::identity(), 128);
    device->endScene();
    EXPECT_NEAR(test_support::red(Frame(*device).at(630, 470)), 127, 1);

    beginOnPicture();
    fade.draw(*device, Matrix4::identity(), 255);
    device->endScene();
    const Frame black(*device);
    EXPECT_EQ(black.at(10, 10), 0u);
    EXPECT_EQ(black.at(639, 479), 0u);
    EXPECT_EQ(black.at(639, 0), 0u);
}

TEST_F(Overlays, LightMaskGradientIsBrightestAtTheTopCentre) {
    LightMask mask;
    ASSERT_TRUE(mask.init(*device, PieceScreen{}, 288));
    EXPECT_EQ(maskAt(mask, 64, 0), 128);
    EXPECT_EQ(maskAt(mask, 96, 0), 64);
    EXPECT_EQ(maskAt(mask, 64, 63), 2);
    for (int row = 0; row < LightMask::kRows; ++row) EXPECT_EQ(maskAt(mask, 0, row), 0) << row;
}

TEST_F(Overlays, CaptureCutsTheLightBelowEveryBrightPoint) {
    LightMask mask;
    ASSERT_TRUE(mask.init(*device, PieceScreen{}, 288));

    // All white: row 0 keeps the gradient, everything below goes dark.
    beginOnPicture(0xFFFFFFFFu, 0xFFFFFFFFu);
    device->endScene();
    ASSERT_TRUE(mask.capture(*device, *device->backBuffer()));
    EXPECT_EQ(maskAt(mask, 64, 0), 128);
    EXPECT_EQ(maskAt(mask, 64, 1), 0);
    EXPECT_EQ(maskAt(mask, 100, 63), 0);

    // All black: the whole gradient comes back.
    beginOnPicture(0xFF000000u, 0xFF000000u);
    device->endScene();
    ASSERT_TRUE(mask.capture(*device, *device->backBuffer()));
    EXPECT_EQ(maskAt(mask, 64, 1), 126);
    EXPECT_EQ(maskAt(mask, 64, 63), 2);

    // Blue not above 0x80 is not bright, however bright red and green are.
    beginOnPicture(0xFF818180u, 0xFF818180u);
    device->endScene();
    ASSERT_TRUE(mask.capture(*device, *device->backBuffer()));
    EXPECT_EQ(maskAt(mask, 64, 63), 2);

    // One bright spot at screen (320, 45): mask column 64, row 10 (45 / 4.5) and below go dark.
    beginOnPicture(0xFF000000u, 0xFF000000u);
    const auto spot = test_support::screenQuad(318, 44, 323, 47, 0xFFFFFFFFu);
    device->drawPrimitiveUp(PrimitiveType::TriangleFan, 2, spot.data(), sizeof spot[0]);
    device->endScene();
    ASSERT_TRUE(mask.capture(*device, *device->backBuffer()));
    EXPECT_EQ(maskAt(mask, 64, 10), 108);
    EXPECT_EQ(maskAt(mask, 64, 11), 0);
    EXPECT_EQ(maskAt(mask, 63, 11), 104) << "the neighbouring column keeps its light";
}

TEST_F(Overlays, LightMaskAddsLightOverTheUpperScreen) {
    LightMask mask;
    ASSERT_TRUE(mask.init(*device, PieceScreen{}, 288));
    beginOnPicture(0xFF202020u, 0xFF202020u);
    mask.draw(*device, Matrix4::identity());
    device->endScene();
    const Frame frame(*device);
    EXPECT_NEAR(test_support::red(frame.at(320, 0)), 0x20 + 128, 3) << "brightest at the top centre";
    EXPECT_NEAR(test_support::red(frame.at(2, 2)), 0x20, 3) << "dark at the edge";
    EXPECT_EQ(frame.at(320, 300), 0x202020u) << "nothing below 288";
    EXPECT_GT(test_support::red(frame.at(320, 100)), test_support::red(frame.at(320, 250)));
}

}  // namespace
}  // namespace glassfalls
