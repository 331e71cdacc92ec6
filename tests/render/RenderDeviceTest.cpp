// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "math/MatrixBuilders.h"
#include "render/RenderDevice.h"
#include "tests/platform/gfx/Vertices.h"
#include "tests/platform/gl/OffscreenDevice.h"
#include "tests/render/RenderDeviceFixture.h"
#include "tests/support/StaticBufferFrame.h"
#include "tests/support/TestDataDirectory.h"
#include "tests/support/WorstCaseFrame.h"

namespace glassfalls {
namespace {

using namespace platform::gfx;
using test_support::Frame;

class RecordingResource final : public DeviceResource {
public:
    RecordingResource(std::string name, std::vector<std::string>& log) : name_(std::move(name)), log_(log) {}
    bool onLostDevice(RenderDevice& device) override {
        log_.push_back("lost " + name_ + (device.backBuffer ? " with surfaces" : ""));
        return true;
    }
    bool onResetDevice(RenderDevice& device) override {
        log_.push_back("reset " + name_ + (device.backBuffer ? " with surfaces" : ""));
        return true;
    }

private:
    std::string name_;
    std::vector<std::string>& log_;
};

using RenderDeviceTest = test_support::RenderDeviceFixture;

TEST_F(RenderDeviceTest, ResetTellsEveryResourceBeforeAndAfterInRegistrationOrder) {
    std::vector<std::string> log;
    RecordingResource a("a", log), b("b", log), c("c", log);
    renderDevice.registerResource(a);
    renderDevice.registerResource(b);
    renderDevice.registerResource(c);

    ASSERT_TRUE(renderDevice.reset());
    EXPECT_EQ(log,
              (std::vector<std::string>{"lost a with surfaces", "lost b with surfaces", "lost c with surfaces",
                                        "reset a with surfaces", "reset b with surfaces", "reset c with surfaces"}));
    EXPECT_EQ(renderDevice.backBuffer, renderDevice.device->backBuffer());
    EXPECT_EQ(renderDevice.depthBuffer, renderDevice.device->depthStencilSurface());
}

TEST_F(RenderDeviceTest, DestroyedResourcesAreNeverCalled) {
    std::vector<std::string> log;
    RecordingResource kept("kept", log);
    {
        RecordingResource gone("gone", log);
        renderDevice.registerResource(gone);
        renderDevice.registerResource(kept);
    }
    ASSERT_TRUE(renderDevice.reset());
    EXPECT_EQ(log, (std::vector<std::string>{"lost kept with surfaces", "reset kept with surfaces"}));
}

// The failure is tried again every frame: its line is said once while it stays, and again
// after a success.
TEST_F(RenderDeviceTest, FailedResetWritesItsLineOnceAndLeavesResourcesLost) {
    std::vector<std::string> log;
    RecordingResource a("a", log);
    renderDevice.registerResource(a);
    renderDevice.presentationParameters.backBufferWidth = 0;

    testing::internal::CaptureStderr();
    EXPECT_FALSE(renderDevice.reset());
    EXPECT_FALSE(renderDevice.reset());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "D3DERR_INVALIDCALL\n");
    EXPECT_EQ(renderDevice.backBuffer, nullptr);
    EXPECT_EQ(renderDevice.depthBuffer, nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"lost a with surfaces", "lost a"}));

    renderDevice.presentationParameters.backBufferWidth = 640;
    EXPECT_TRUE(renderDevice.reset());
    EXPECT_EQ(log.back(), "reset a with surfaces");

    renderDevice.presentationParameters.backBufferWidth = 0;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(renderDevice.reset());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "D3DERR_INVALIDCALL\n");
}

TEST(ResetFailureLine, NamesTheFiveKnownFailuresAndNothingElse) {
    EXPECT_STREQ(resetFailureLine(Result::DeviceLost), "D3DERR_DEVICELOST\n");
    EXPECT_STREQ(resetFailureLine(Result::DriverInternalError), "D3DERR_DRIVERINTERNALERROR\n");
    EXPECT_STREQ(resetFailureLine(Result::InvalidCall), "D3DERR_INVALIDCALL\n");
    EXPECT_STREQ(resetFailureLine(Result::OutOfVideoMemory), "D3DERR_OUTOFVIDEOMEMORY\n");
    EXPECT_STREQ(resetFailureLine(Result::OutOfMemory), "E_OUTOFMEMORY\n");
    EXPECT_STREQ(resetFailureLine(Result::Failed), "");
    EXPECT_STREQ(resetFailureLine(Result::DeviceNotReset), "");
}

// The scene of the test below, and how the device's default light should show it.
struct LitScene {
    static constexpr float kGroundHalf = 20.0f;
    static constexpr float kRaisedHalf = 5.0f, kRaisedHeight = 5.0f;
    static constexpr uint32_t kGroundGrey = 0x80, kRaisedGrey = 0x40;
    // Quadrant colours of the 8 x 8 texture: top left, top right, bottom left, bottom right.
    static constexpr uint32_t kQuadrants[4] = {0xC82828, 0x28C828, 0x2828C8, 0xDCDCDC};

    // Ambient 0.1 x (0x88 / 255 + 0.5) plus the vertex grey x N.L, N up and the light
    // travelling along (0, -8, 4).
    static float lighting(uint32_t grey) {
        return 0.1f * (136.0f / 255.0f + 0.5f) + static_cast<float>(grey) / 255.0f * (8.0f / std::sqrt(80.0f));
    }

    static std::array<test_support::LitVertex, 4> quad(float half, float y, uint32_t grey) {
        const uint32_t colour = 0xFF000000u | grey * 0x010101u;
        return {{{-half, y, half, 0, 1, 0, colour, 0, 0},
                 {half, y, half, 0, 1, 0, colour, 1, 0},
                 {half, y, -half, 0, 1, 0, colour, 1, 1},
                 {-half, y, -half, 0, 1, 0, colour, 0, 1}}};
    }
};

// The expected colour of a pixel, by casting a ray from the default camera through its
// centre; false where the picture depends on filtering (near texel-block edges) or on
// rasterisation (outside both quads counts as black).
bool expectedPixel(int px, int py, uint32_t& colour) {
    const Vector3 eye{0, 96, -24};
    const Vector3 forward = vec3Normalize({-eye.x, -eye.y, -eye.z});
    const Vector3 right = vec3Normalize({forward.z, 0, -forward.x});  // up x forward
    const Vector3 up{forward.y * right.z - forward.z * right.y, forward.z * right.x - forward.x * right.z,
                     forward.x * right.y - forward.y * right.x};
    const float t = std::tan(0.78539819f / 2);
    const float sx = ((static_cast<float>(px) + 0.5f) / 320.0f - 1.0f) * t * 640.0f / 480.0f;
    const float sy = (1.0f - (static_cast<float>(py) + 0.5f) / 240.0f) * t;
    const Vector3 ray{forward.x + right.x * sx + up.x * sy, forward.y + right.y * sx + up.y * sy,
                      forward.z + right.z * sx + up.z * sy};
    auto hit = [&](float height, float half, float& u, float& v) {
        const float k = (height - eye.y) / ray.y;
        const float x = eye.x + ray.x * k, z = eye.z + ray.z * k;
        u = (x + half) / (2 * half);
        v = (half - z) / (2 * half);
        return std::fabs(x) < half && std::fabs(z) < half;
    };
    float u = 0, v = 0;
    float light = 0;
    if (hit(LitScene::kRaisedHeight, LitScene::kRaisedHalf, u, v)) {
        light = LitScene::lighting(LitScene::kRaisedGrey);
    } else if (hit(0, LitScene::kGroundHalf, u, v)) {
        light = LitScene::lighting(LitScene::kGroundGrey);
    } else {
        colour = 0;
        // Pixels just outside a quad's edge may be partly covered.
        return !(std::fabs(u - 0.5f) < 0.52f && std::fabs(v - 0.5f) < 0.52f);
    }
    auto inside = [](float w) {
        const float f = w < 0.5f ? w : w - 0.5f;
        return f > 0.07f && f < 0.43f;
    };
    if (!inside(u) || !inside(v)) return false;
    const uint32_t texel = LitScene::kQuadrants[(v < 0.5f ? 0 : 2) + (u < 0.5f ? 0 : 1)];
    colour = 0;
    for (int shift : {16, 8, 0}) {
        const float channel = static_cast<float>((texel >> shift) & 0xFF) * std::min(light, 1.0f);
        colour |= static_cast<uint32_t>(std::lround(channel)) << shift;
    }
    return true;
}

TEST_F(RenderDeviceTest, LitTexturedSceneWithTheDefaultStatesMatchesTheReference) {
    auto texture = device->createTexture(8, 8, true);
    LockedRect locked;
    ASSERT_TRUE(texture->lockRect(0, locked));
    auto* texels = reinterpret_cast<uint32_t*>(locked.bits);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            texels[y * 8 + x] = 0xFF000000u | LitScene::kQuadrants[(y < 4 ? 0 : 2) + (x < 4 ? 0 : 1)];
        }
    }
    texture->unlockRect(0);

    device->clear(clearFlags::Target | clearFlags::ZBuffer, 0xFF000000u, 1.0f, 0);
    ASSERT_TRUE(device->beginScene());
    device->setTexture(0, texture.get());
    device->setFvf(test_support::LitVertex::kFormat);
    // The raised quad first: the ground drawn after it must stay behind it.
    const auto raised = LitScene::quad(LitScene::kRaisedHalf, LitScene::kRaisedHeight, LitScene::kRaisedGrey);
    const auto ground = LitScene::quad(LitScene::kGroundHalf, 0, LitScene::kGroundGrey);
    device->drawPrimitiveUp(PrimitiveType::TriangleFan, 2, raised.data(), sizeof raised[0]);
    device->drawPrimitiveUp(PrimitiveType::TriangleFan, 2, ground.data(), sizeof ground[0]);
    device->endScene();
    const Frame frame(*device);

    int compared = 0, wrong = 0;
    for (int y = 0; y < frame.height; ++y) {
        for (int x = 0; x < frame.width; ++x) {
            uint32_t expected = 0;
            if (!expectedPixel(x, y, expected)) continue;
            ++compared;
            const uint32_t actual = frame.at(x, y);
            bool close = true;
            for (int shift : {16, 8, 0}) {
                const int a = static_cast<int>((actual >> shift) & 0xFF);
                const int e = static_cast<int>((expected >> shift) & 0xFF);
                close = close && std::abs(a - e) <= 3;
            }
            if (!close && ++wrong <= 5) {
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex << actual << ", expected "
                              << expected;
            }
        }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(compared, 100000) << "the scene should fill much of the frame";
}

// Highlights appear only when switched on, computed per vertex with the viewer at the eye
// (not at infinity) and added on top of the lit colour.
TEST_F(RenderDeviceTest, SpecularHighlightsOnlyWhenEnabledAndSeenFromTheEye) {
    // Black vertices: what remains is the ambient term and the highlight.
    const auto ground = LitScene::quad(LitScene::kGroundHalf, 0, 0);
    auto centrePixel = [&](bool specular) {
        device->clear(clearFlags::Target | clearFlags::ZBuffer, 0xFF000000u, 1.0f, 0);
        EXPECT_TRUE(device->beginScene());
        device->setRenderState(renderState::SpecularEnable, specular ? 1 : 0);
        device->setFvf(test_support::LitVertex::kFormat);
        device->drawPrimitiveUp(PrimitiveType::TriangleFan, 2, ground.data(), sizeof ground[0]);
        device->endScene();
        // The default camera looks at the ground's centre, which lies on the fan's diagonal.
        return Frame(*device).at(320, 240);
    };
    auto highlight = [](float x, float z) {
        const Vector3 toLight = vec3Normalize({0, 8, -4});
        const Vector3 toEye = vec3Normalize({0 - x, 96, -24 - z});
        const Vector3 half = vec3Normalize({toLight.x + toEye.x, toLight.y + toEye.y, toLight.z + toEye.z});
        return std::pow(half.y, 10.0f);
    };
    const float ambient = 0.1f * (136.0f / 255.0f + 0.5f);
    const float h = LitScene::kGroundHalf;
    const float centre = (highlight(-h, h) + highlight(h, -h)) / 2;

    const uint32_t plain = centrePixel(false);
    EXPECT_NEAR(test_support::green(plain), ambient * 255.0f, 2);
    const uint32_t shiny = centrePixel(true);
    EXPECT_NEAR(test_support::green(shiny), (ambient + centre) * 255.0f, 3);
    EXPECT_EQ(test_support::red(shiny), test_support::blue(shiny)) << "white light, white highlight";
}

}  // namespace
}  // namespace glassfalls

namespace glassfalls {
namespace {

// Merging the scenes' small draws into few must not change a pixel of the costliest frame,
// and neither may drawing the merged draws again from buffers (the measured floor).
TEST(MergedDraws, TheWorstCaseFrameIsTheSamePieceByPieceAndFromStaticBuffers) {
    enum class Way { Merged, PieceByPiece, StaticBuffers };
    std::vector<std::vector<uint32_t>> frames;
    for (const Way way : {Way::Merged, Way::PieceByPiece, Way::StaticBuffers}) {
        platform::NullWindow window;
        RenderDevice renderDevice;
        const auto created = renderDevice.create(platform::deviceFactoryOf(window), 640, 480, true);
        ASSERT_TRUE(created) << created.error();
        static_cast<platform::gl::GlDevice&>(*renderDevice.device).setMergingDraws(way != Way::PieceByPiece);
        test_support::WorstCaseFrame frame(renderDevice, test_support::TestDataDirectory::source().string());
        ASSERT_EQ(frame.failure(), "");
        if (way == Way::StaticBuffers) {
            test_support::StaticBufferFrame floor(renderDevice, [&] { frame.draw(); });
            // What the recording drew is wiped: the picture read is the buffers' alone.
            renderDevice.drawScene([] {});
            floor.draw();
            EXPECT_GT(floor.drawCount(), 8u);
        } else {
            frame.draw();
        }
        frames.emplace_back();
        renderDevice.device->readBackBuffer(frames.back());
    }
    EXPECT_EQ(std::count(frames[0].begin(), frames[0].end(), 0xFF000000u) < 200000, true) << "something was drawn";
    EXPECT_TRUE(frames[0] == frames[1]) << "piece by piece";
    EXPECT_TRUE(frames[0] == frames[2]) << "from static buffers";
}

}  // namespace
}  // namespace glassfalls
