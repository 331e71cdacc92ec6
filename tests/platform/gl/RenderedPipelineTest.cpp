// SPDX-License-Identifier: GPL-3.0-or-later
// Draws through the real OpenGL pipeline (Mesa, off-screen) and checks the pictures: each
// test would fail if the mapping of the fixed-function device turned the frame upside down,
// mirrored it, flipped the winding, clipped the wrong side or lit it differently.
#include <gtest/gtest.h>

#include <cmath>

#include "math/MatrixBuilders.h"
#include "platform/assets/TextureLoader.h"
#include "tests/platform/gfx/Vertices.h"
#include "tests/platform/gl/OffscreenDevice.h"

namespace glassfalls::platform::gfx {
namespace {

using test_support::blue;
using test_support::Frame;
using test_support::green;
using test_support::red;

constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00;

class RenderedPipeline : public ::testing::Test {
protected:
    void SetUp() override {
        device = test_support::openOffscreenDevice();
        ASSERT_TRUE(device);
        device->clear(clearFlags::Target | clearFlags::ZBuffer, 0xFF000000u, 1.0f, 0);
        ASSERT_TRUE(device->beginScene());
    }

    // A camera at (0, 0, -10) looking along +z; unlit vertex colours.
    void lookAlongZ() {
        device->setTransform(TransformState::View, matrixLookAtLH({0, 0, -10}, {0, 0, 0}, {0, 1, 0}));
        device->setTransform(TransformState::Projection, matrixPerspectiveFovLH(0.78539819f, 640.0f / 480.0f, 1, 1000));
        device->setRenderState(renderState::Lighting, 0);
        device->setFvf(test_support::ColouredVertex::kFormat);
    }

    // Where a point of the plane z = 0 lands for lookAlongZ.
    static void pixelOf(float x, float y, int& px, int& py) {
        const float halfHeight = 10.0f * std::tan(0.78539819f / 2);
        const float halfWidth = halfHeight * 640.0f / 480.0f;
        px = static_cast<int>(320.0f + x / halfWidth * 320.0f);
        py = static_cast<int>(240.0f - y / halfHeight * 240.0f);
    }

    uint32_t colourAtWorld(const Frame& frame, float x, float y) {
        int px = 0, py = 0;
        pixelOf(x, y, px, py);
        return frame.at(px, py);
    }

    void drawFan(const test_support::ColouredVertex* v, uint32_t triangles) {
        device->drawPrimitiveUp(PrimitiveType::TriangleFan, triangles, v, sizeof *v);
    }

    Frame finish() {
        device->endScene();
        return Frame(*device);
    }

    std::unique_ptr<GraphicsDevice> device;
};

TEST_F(RenderedPipeline, ScreenQuadsArePixelsCountedFromTheTopLeft) {
    device->setFvf(test_support::ScreenVertex::kFormat);
    const auto topLeft = test_support::screenQuad(10, 20, 30, 40, 0xFFFF0000u);
    const auto bottomRight = test_support::screenQuad(600, 400, 620, 460, 0xFF00FF00u);
    device->drawPrimitiveUp(PrimitiveType::TriangleFan, 2, topLeft.data(), sizeof topLeft[0]);
    device->drawPrimitiveUp(PrimitiveType::TriangleFan, 2, bottomRight.data(), sizeof bottomRight[0]);
    const Frame frame = finish();

    EXPECT_EQ(frame.at(10, 20), kRed);
    EXPECT_EQ(frame.at(29, 39), kRed);
    EXPECT_EQ(frame.at(9, 20), 0u);
    EXPECT_EQ(frame.at(10, 19), 0u);
    EXPECT_EQ(frame.at(30, 39), 0u);
    EXPECT_EQ(frame.at(29, 40), 0u);
    EXPECT_EQ(frame.at(600, 400), kGreen);
    EXPECT_EQ(frame.at(619, 459), kGreen);
    EXPECT_EQ(frame.at(610, 30), 0u);
}

TEST_F(RenderedPipeline, WorldRightAndUpAppearRightAndUp) {
    lookAlongZ();
    device->setRenderState(renderState::CullMode, Cull::None);
    const auto upperRight = test_support::zQuad(1, 1, 3, 3, 0, 0xFFFF0000u);
    const auto lowerLeft = test_support::zQuad(-3, -3, -1, -1, 0, 0xFF00FF00u);
    drawFan(upperRight.data(), 2);
    drawFan(lowerLeft.data(), 2);
    const Frame frame = finish();

    EXPECT_EQ(colourAtWorld(frame, 2, 2), kRed);
    EXPECT_EQ(colourAtWorld(frame, -2, -2), kGreen);
    EXPECT_EQ(colourAtWorld(frame, -2, 2), 0u);
    EXPECT_EQ(colourAtWorld(frame, 2, -2), 0u);
}

TEST_F(RenderedPipeline, CullModesRemoveTrianglesByTheirWindingOnScreen) {
    lookAlongZ();
    // Top left, top right, bottom: clockwise on a screen whose y runs down.
    const test_support::ColouredVertex clockwise[3] = {
        {-2, 2, 0, 0xFFFF0000u}, {2, 2, 0, 0xFFFF0000u}, {0, -2, 0, 0xFFFF0000u}};
    const test_support::ColouredVertex counterClockwise[3] = {clockwise[0], clockwise[2], clockwise[1]};
    struct Case {
        Cull mode;
        const test_support::ColouredVertex* triangle;
        bool drawn;
    };
    const Case cases[] = {{Cull::CounterClockwise, clockwise, true},
                          {Cull::CounterClockwise, counterClockwise, false},
                          {Cull::Clockwise, clockwise, false},
                          {Cull::Clockwise, counterClockwise, true},
                          {Cull::None, counterClockwise, true}};
    for (const Case& c : cases) {
        device->clear(clearFlags::Target | clearFlags::ZBuffer, 0xFF000000u, 1.0f, 0);
        device->setRenderState(renderState::CullMode, c.mode);
        device->drawPrimitiveUp(PrimitiveType::TriangleList, 1, c.triangle, sizeof *c.triangle);
        const Frame frame(*device);
        EXPECT_EQ(colourAtWorld(frame, 0, 1), c.drawn ? kRed : 0u)
            << "cull mode " << static_cast<uint32_t>(c.mode)
            << (c.triangle == clockwise ? ", clockwise" : ", counter-clockwise");
    }
}

TEST_F(RenderedPipeline, NearerSurfaceWinsWhicheverIsDrawnFirst) {
    lookAlongZ();
    device->setRenderState(renderState::CullMode, Cull::None);
    const auto nearLeft = test_support::zQuad(-3, -1, -1, 1, -1, 0xFF00FF00u);
    const auto farLeft = test_support::zQuad(-3, -1, -1, 1, 1, 0xFFFF0000u);
    const auto farRight = test_support::zQuad(1, -1, 3, 1, 1, 0xFFFF0000u);
    const auto nearRight = test_support::zQuad(1, -1, 3, 1, -1, 0xFF00FF00u);
    drawFan(nearLeft.data(), 2);
    drawFan(farLeft.data(), 2);
    drawFan(farRight.data(), 2);
    drawFan(nearRight.data(), 2);
    const Frame frame = finish();

    // Both green: the near quads hide the far ones in either order.
    int px = 0, py = 0;
    pixelOf(-2.0f * 9.0f / 10.0f, 0, px, py);
    EXPECT_EQ(frame.at(px, py), kGreen);
    pixelOf(2.0f * 9.0f / 10.0f, 0, px, py);
    EXPECT_EQ(frame.at(px, py), kGreen);
}

TEST_F(RenderedPipeline, ClipPlaneKeepsThePositiveSideOfAWorldPlane) {
    lookAlongZ();
    device->setRenderState(renderState::CullMode, Cull::None);
    const auto quad = test_support::zQuad(-2, -2, 2, 2, 0, 0xFFFF0000u);
    const float keepAbove[4] = {0, 1, 0, 0};
    device->setClipPlane(0, keepAbove);
    device->setRenderState(renderState::ClipPlaneEnable, 1);
    drawFan(quad.data(), 2);
    const Frame above(*device);
    EXPECT_EQ(colourAtWorld(above, 0, 1), kRed);
    EXPECT_EQ(colourAtWorld(above, 0, -1), 0u);

    device->clear(clearFlags::Target, 0xFF000000u, 1.0f, 0);
    const float keepBelow[4] = {0, -1, 0, 0};
    device->setClipPlane(0, keepBelow);
    drawFan(quad.data(), 2);
    const Frame below(*device);
    EXPECT_EQ(colourAtWorld(below, 0, 1), 0u);
    EXPECT_EQ(colourAtWorld(below, 0, -1), kRed);

    device->clear(clearFlags::Target, 0xFF000000u, 1.0f, 0);
    device->setRenderState(renderState::ClipPlaneEnable, 0);
    drawFan(quad.data(), 2);
    const Frame unclipped = finish();
    EXPECT_EQ(colourAtWorld(unclipped, 0, 1), kRed);
    EXPECT_EQ(colourAtWorld(unclipped, 0, -1), kRed);
}

TEST_F(RenderedPipeline, MirroredViewShowsWhatIsAboveTheWaterBelowIt) {
    lookAlongZ();
    const Matrix4 view = matrixLookAtLH({0, 0, -10}, {0, 0, 0}, {0, 1, 0});
    const Matrix4 mirror = matrixReflect(planeFromPointNormal({0, 0, 0}, {0, 1, 0})).multiply(view);
    // Clockwise as seen directly: a front face. Above the water red, below it green.
    const auto above = test_support::zQuad(-1, 1, 1, 3, 0, 0xFFFF0000u);
    const auto below = test_support::zQuad(-1, -3, 1, -1, 0, 0xFF00FF00u);

    drawFan(above.data(), 2);
    const Frame direct(*device);
    EXPECT_EQ(colourAtWorld(direct, 0, 2), kRed);
    EXPECT_EQ(colourAtWorld(direct, 0, -2), 0u);

    // The mirror reverses the winding: the scenes cull the other way round in it, and clip
    // to the world above the water.
    device->clear(clearFlags::Target | clearFlags::ZBuffer, 0xFF000000u, 1.0f, 0);
    device->setTransform(TransformState::View, mirror);
    const float water[4] = {0, 1, 0, 0};
    device->setClipPlane(0, water);
    device->setRenderState(renderState::ClipPlaneEnable, 1);
    device->setRenderState(renderState::CullMode, Cull::Clockwise);
    drawFan(above.data(), 2);
    drawFan(below.data(), 2);
    const Frame mirrored(*device);
    EXPECT_EQ(colourAtWorld(mirrored, 0, -2), kRed) << "the reflection lies below the water";
    EXPECT_EQ(colourAtWorld(mirrored, 0, 2), 0u) << "what is under the water is not mirrored";

    device->clear(clearFlags::Target | clearFlags::ZBuffer, 0xFF000000u, 1.0f, 0);
    device->setRenderState(renderState::CullMode, Cull::CounterClockwise);
    drawFan(above.data(), 2);
    const Frame culled = finish();
    EXPECT_EQ(colourAtWorld(culled, 0, -2), 0u) << "mirrored front faces turn counter-clockwise";
}

TEST_F(RenderedPipeline, AlphaBlendingMixesWithWhatIsThere) {
    device->clear(clearFlags::Target, 0xFF0000FFu, 1.0f, 0);
    device->setRenderState(renderState::AlphaBlendEnable, 1);
    device->setRenderState(renderState::SrcBlend, Blend::SrcAlpha);
    device->setRenderState(renderState::DestBlend, Blend::InvSrcAlpha);
    device->setFvf(test_support::ScreenVertex::kFormat);

    // No texture and the alpha operation off: colour and alpha are the vertex's own.
    device->setTextureStageState(0, textureStage::AlphaOp, TextureOp::Disable);
    const auto half = test_support::screenQuad(0, 0, 100, 100, 0x80FF0000u);
    device->drawPrimitiveUp(PrimitiveType::TriangleFan, 2, half.data(), sizeof half[0]);

    // A texture whose alpha is 0, modulated: nothing shows.
    auto clear = device->createTexture(1, 1, false);
    LockedRect locked;
    ASSERT_TRUE(clear->lockRect(0, locked));
    *reinterpret_cast<uint32_t*>(locked.bits) = 0x00FFFFFFu;
    clear->unlockRect(0);
    device->setTexture(0, clear.get());
    device->setTextureStageState(0, textureStage::AlphaOp, TextureOp::Modulate);
    device->setTextureStageState(0, textureStage::ColourArg2, TextureArg::Diffuse);
    const auto hidden = test_support::screenQuad(200, 0, 300, 100, 0xFFFF0000u);
    device->drawPrimitiveUp(PrimitiveType::TriangleFan, 2, hidden.data(), sizeof hidden[0]);
    const Frame frame = finish();

    const uint32_t mixed = frame.at(50, 50);
    EXPECT_NEAR(red(mixed), 128, 1);
    EXPECT_EQ(green(mixed), 0);
    EXPECT_NEAR(blue(mixed), 127, 1);
    EXPECT_EQ(frame.at(250, 50), 0x0000FFu);
}

TEST_F(RenderedPipeline, FillingAnotherTextureDoesNotChangeWhatTheStageSamples) {
    auto fill = [](DeviceTexture& texture, uint32_t texel) {
        LockedRect locked;
        EXPECT_TRUE(texture.lockRect(0, locked));
        *reinterpret_cast<uint32_t*>(locked.bits) = texel;
        texture.unlockRect(0);
    };
    auto redTexture = device->createTexture(1, 1, false);
    auto otherTexture = device->createTexture(1, 1, false);
    fill(*redTexture, 0xFFFF0000u);
    device->setTexture(0, redTexture.get());
    device->setFvf(test_support::ScreenVertex::kFormat);
    const auto left = test_support::screenQuad(0, 0, 10, 10, 0xFFFFFFFFu);
    device->drawPrimitiveUp(PrimitiveType::TriangleFan, 2, left.data(), sizeof left[0]);

    // Another texture refilled between two draws, as the light mask is every title frame.
    fill(*otherTexture, 0xFF00FF00u);
    const auto right = test_support::screenQuad(20, 0, 30, 10, 0xFFFFFFFFu);
    device->drawPrimitiveUp(PrimitiveType::TriangleFan, 2, right.data(), sizeof right[0]);
    const Frame frame = finish();
    EXPECT_EQ(frame.at(5, 5), kRed);
    EXPECT_EQ(frame.at(25, 5), kRed);
}

}  // namespace
}  // namespace glassfalls::platform::gfx
