#include "render/Ground.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/gfx/MatrixBuilders.h"
#include "tests/platform/gfx/OffscreenDevice.h"
#include "tests/render/RenderDeviceFixture.h"

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
        ground.draw(*device, Matrix4::identity(), brightness);
        device->endScene();
        return Frame(*device).at(320, 240);
    }
};

TEST_F(GroundTest, BrightnessSetsTheGreyAndTheGroundIsHalfTransparent) {
    Ground ground;
    ASSERT_TRUE(ground.init(*device, "/nonexistent/ground.bmp")) << "a missing picture is not fatal";
    EXPECT_FALSE(ground.floorPicture.texture);

    const uint32_t bright = drawOverRed(ground, 1.0f);
    EXPECT_EQ(ground.floor[0].colour, 0x80FFFFFFu);
    EXPECT_NEAR(test_support::red(bright), 255, 1);
    EXPECT_NEAR(test_support::green(bright), 128, 2);

    drawOverRed(ground, 0.5f);
    EXPECT_EQ(ground.floor[3].colour, 0x807F7F7Fu) << "127.5 truncated";

    const uint32_t dark = drawOverRed(ground, 0.0f);
    EXPECT_EQ(ground.floor[1].colour, 0x80000000u);
    EXPECT_NEAR(test_support::red(dark), 127, 2);
    EXPECT_EQ(test_support::green(dark), 0);
}

TEST_F(GroundTest, NetworkPictureFadesTowardACircleAndReplacesTheSand) {
    Ground ground;
    ASSERT_TRUE(ground.init(*device, "/nonexistent/ground.bmp"));
    std::vector<uint8_t> picture(128 * 128 * 3, 200);
    ground.showNetPicture(*device, picture.data());

    auto surfaceByte = [&](int row, int column) {
        return ground.netPicture.dib->buffer[static_cast<size_t>((row * 128 + column) * 3)];
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
