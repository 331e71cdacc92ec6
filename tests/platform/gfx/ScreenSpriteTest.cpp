// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <utility>

#include "platform/gfx/ScreenSprite.h"
#include "tests/platform/gl/OffscreenDevice.h"

namespace glassfalls::platform::gfx {
namespace {

using test_support::Frame;

uint32_t texelColour(int x, int y) {
    return static_cast<uint32_t>(0x10 + 0x20 * x) << 16 | static_cast<uint32_t>(0x10 + 0x20 * y) << 8 | 0x55u;
}

std::unique_ptr<DeviceTexture> patternTexture(GraphicsDevice& device) {
    auto texture = device.createTexture(4, 4, true);
    LockedRect locked;
    EXPECT_TRUE(texture->lockRect(0, locked));
    auto* texels = reinterpret_cast<uint32_t*>(locked.bits);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) texels[y * 4 + x] = 0xFF000000u | texelColour(x, y);
    }
    texture->unlockRect(0);
    return texture;
}

// A real context that, once told, reports that the driver reset it, as a GPU reset would:
// the device must then make everything it keeps on the context anew.
class ResettableContext final : public gl::GlContext {
public:
    explicit ResettableContext(std::unique_ptr<gl::GlContext> real) : real_(std::move(real)) {}
    bool resetPending = false;

    Renderer api() const override { return real_->api(); }
    void makeCurrent() override { real_->makeCurrent(); }
    void swapBuffers() override { real_->swapBuffers(); }
    void drawableSize(int& width, int& height) const override { real_->drawableSize(width, height); }
    bool showsFrames() const override { return real_->showsFrames(); }
    void setVsync(bool on) override { real_->setVsync(on); }
    bool wasReset() override { return std::exchange(resetPending, false); }
    Expected<void> recreate() override { return real_->recreate(); }
    std::string renderer() const override { return real_->renderer(); }

private:
    std::unique_ptr<gl::GlContext> real_;
};

class ScreenSpriteTest : public ::testing::Test {
protected:
    void SetUp() override {
        device = test_support::openOffscreenDevice();
        ASSERT_TRUE(device);
        texture = patternTexture(*device);
        sprite = createSprite(*device);
    }

    Frame drawAt(Vector2 translation, Colour colour, Vector2 scaling = {1, 1}) {
        device->clear(clearFlags::Target | clearFlags::ZBuffer, 0xFF000000u, 1.0f, 0);
        EXPECT_TRUE(device->beginScene());
        EXPECT_TRUE(sprite->begin());
        EXPECT_TRUE(sprite->draw(texture.get(), nullptr, &scaling, nullptr, 0, &translation, colour));
        EXPECT_TRUE(sprite->end());
        device->endScene();
        return Frame(*device);
    }

    std::unique_ptr<GraphicsDevice> device;
    std::unique_ptr<DeviceTexture> texture;
    std::unique_ptr<ScreenSprite> sprite;
};

TEST_F(ScreenSpriteTest, EachTexelLandsOnOnePixelAtTheTranslation) {
    const Frame frame = drawAt({100, 50}, 0xFFFFFFFFu);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) EXPECT_EQ(frame.at(100 + x, 50 + y), texelColour(x, y)) << x << "," << y;
    }
    EXPECT_EQ(frame.at(99, 50), 0u);
    EXPECT_EQ(frame.at(104, 53), 0u);
    EXPECT_EQ(frame.at(100, 54), 0u);
}

TEST_F(ScreenSpriteTest, ScalingStretchesFromTheTopLeftCorner) {
    const Frame frame = drawAt({0, 0}, 0xFFFFFFFFu, {2, 3});
    EXPECT_EQ(frame.at(7, 11), texelColour(3, 3));
    EXPECT_EQ(frame.at(8, 0), 0u);
    EXPECT_EQ(frame.at(0, 12), 0u);
}

TEST_F(ScreenSpriteTest, TheColourAlphaFadesThePicture) {
    EXPECT_EQ(drawAt({10, 10}, 0x00FFFFFFu).at(10, 10), 0u);
    const uint32_t half = drawAt({10, 10}, 0x80FFFFFFu).at(10, 10);
    EXPECT_NEAR(test_support::red(half), 0x10 * 128 / 255, 1);
    EXPECT_NEAR(test_support::blue(half), 0x55 * 128 / 255, 1);
}

TEST_F(ScreenSpriteTest, DrawingLeavesTheDeviceStateAsItWas) {
    device->setRenderState(renderState::ZEnable, 1);
    device->setRenderState(renderState::AlphaBlendEnable, 0);
    device->setRenderState(renderState::CullMode, Cull::Clockwise);
    device->setTextureStageState(0, textureStage::AlphaOp, TextureOp::Disable);
    device->setFvf(0x112);
    device->setTexture(0, nullptr);
    drawAt({0, 0}, 0xFFFFFFFFu);
    EXPECT_EQ(device->getRenderState(renderState::ZEnable), 1u);
    EXPECT_EQ(device->getRenderState(renderState::AlphaBlendEnable), 0u);
    EXPECT_EQ(device->getRenderState(renderState::CullMode), Cull::Clockwise);
    EXPECT_EQ(device->getTextureStageState(0, textureStage::AlphaOp), TextureOp::Disable);
    EXPECT_EQ(device->getFvf(), 0x112u);
    EXPECT_EQ(device->getTexture(0), nullptr);
}

TEST_F(ScreenSpriteTest, TexturesKeepTheirPicturesThroughAReset) {
    ASSERT_EQ(device->reset(device->presentParameters()), Result::Ok);
    const Frame frame = drawAt({20, 30}, 0xFFFFFFFFu);
    EXPECT_EQ(frame.at(20, 30), texelColour(0, 0));
    EXPECT_EQ(frame.at(23, 33), texelColour(3, 3));
}

// After the driver loses the context the device reports it, and a reset makes the frame, the
// buffers, the pipeline's programs and every texture again on a new one.
TEST_F(ScreenSpriteTest, ALostContextIsMadeAnewWithItsTexturesAndPrograms) {
    // The fixture's device goes first: its context is current until then.
    const PresentParameters parameters = device->presentParameters();
    sprite.reset();
    texture.reset();
    device.reset();
    auto real = gl::createOffscreenGlContext(640, 480, DeviceType::Hardware, test_support::rendererUnderTest());
    ASSERT_TRUE(real) << real.error();
    auto owned = std::make_unique<ResettableContext>(std::move(*real));
    ResettableContext& context = *owned;
    auto created = gl::GlDevice::create(std::unique_ptr<gl::GlContext>(std::move(owned)), parameters);
    ASSERT_TRUE(created) << created.error();
    device = std::move(*created);
    texture = patternTexture(*device);
    sprite = createSprite(*device);
    EXPECT_EQ(drawAt({20, 30}, 0xFFFFFFFFu).at(23, 33), texelColour(3, 3));

    context.resetPending = true;
    EXPECT_EQ(device->testCooperativeLevel(), Result::DeviceNotReset);
    EXPECT_EQ(device->present(), Result::DeviceLost);
    ASSERT_EQ(device->reset(parameters), Result::Ok);
    EXPECT_EQ(device->testCooperativeLevel(), Result::Ok);
    const Frame frame = drawAt({20, 30}, 0xFFFFFFFFu);
    EXPECT_EQ(frame.at(20, 30), texelColour(0, 0));
    EXPECT_EQ(frame.at(23, 33), texelColour(3, 3));
}

}  // namespace
}  // namespace glassfalls::platform::gfx
