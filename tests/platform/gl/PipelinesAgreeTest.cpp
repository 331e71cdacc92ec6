// SPDX-License-Identifier: GPL-3.0-or-later
// The shader pipelines against the fixed-function one, state by state: the same scene drawn
// under each setting of the stage, the sampler, the alpha test, the clip plane and the light
// must come out the same on a core and an ES context as on a compatibility one.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "math/MatrixBuilders.h"
#include "tests/platform/gfx/Vertices.h"
#include "tests/platform/gl/OffscreenDevice.h"
#include "tests/support/Screenshots.h"

namespace glassfalls::platform::gfx {
namespace {

struct Case {
    std::string name;
    std::vector<StateSetting> settings;
    bool clipped = false;  // the far part of the scene only, behind a slanted plane
};

// A 64 x 64 picture with every level of a mip chain: colours that change across it, alpha
// rising from left to right.
std::unique_ptr<DeviceTexture> gradientTexture(GraphicsDevice& device) {
    auto texture = device.createTexture(64, 64, true);
    LockedRect locked;
    EXPECT_TRUE(texture->lockRect(0, locked));
    for (uint32_t y = 0; y < 64; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(locked.bits + y * static_cast<uint32_t>(locked.pitch));
        for (uint32_t x = 0; x < 64; ++x)
            row[x] = (x * 4) << 24 | (x * 4) << 16 | (y * 4) << 8 | ((x ^ y) & 8 ? 0xE0u : 0x20u);
    }
    texture->unlockRect(0);
    return texture;
}

// The scene: a lit quad leaning away from the camera, its texture repeated across it so
// that it shrinks into the distance and is addressed beyond [0, 1]; and a screen quad.
std::vector<uint32_t> drawScene(GraphicsDevice& device, const Case& c) {
    // Every state back at its default: each case is its settings alone.
    EXPECT_EQ(device.reset(device.presentParameters()), Result::Ok);
    const auto texture = gradientTexture(device);
    device.clear(clearFlags::Target | clearFlags::ZBuffer, 0xFF203040u, 1.0f, 0);
    EXPECT_TRUE(device.beginScene());
    device.setTransform(TransformState::View, matrixLookAtLH({0, 3, -8}, {0, 0, 4}, {0, 1, 0}));
    device.setTransform(TransformState::Projection, matrixPerspectiveFovLH(0.78539819f, 640.0f / 480.0f, 1, 100));
    Light light;
    light.diffuse = {0.9f, 0.8f, 0.7f, 1};
    light.specular = {1, 1, 1, 1};
    light.ambient = {0.2f, 0.2f, 0.3f, 1};
    light.direction = {0.3f, -0.8f, 0.5f};
    device.setLight(0, light);
    device.lightEnable(0, true);
    device.setMaterial(
        {{0.8f, 0.7f, 0.6f, 0.75f}, {0.4f, 0.5f, 0.6f, 1}, {0.9f, 0.9f, 0.9f, 1}, {0.05f, 0.0f, 0.1f, 1}, 12});
    device.setRenderState(renderState::Ambient, 0xFF303030u);
    device.setRenderState(renderState::AlphaBlendEnable, true);
    device.setRenderState(renderState::SrcBlend, Blend::SrcAlpha);
    device.setRenderState(renderState::DestBlend, Blend::InvSrcAlpha);
    device.setRenderState(renderState::CullMode, Cull::None);
    device.setTexture(0, texture.get());
    for (const StateSetting& setting : c.settings) device.setState(setting);
    if (c.clipped) {
        const float plane[4] = {0.3f, 0.0f, 1.0f, -8.0f};
        device.setClipPlane(0, plane);
        device.setRenderState(renderState::ClipPlaneEnable, 1u);
    }

    // Normals bent across the quad, not of unit length, so that normalising them matters.
    const test_support::LitVertex floor[] = {{-6, 0, 0, -0.4f, 1.5f, 0.2f, 0xFFFF8040u, -1, -1},
                                             {6, 0, 0, 0.4f, 1.5f, 0.2f, 0xC040FF80u, 2, -1},
                                             {6, 0, 16, 0.4f, 1.5f, -0.2f, 0x808040FFu, 2, 5},
                                             {-6, 0, 16, -0.4f, 1.5f, -0.2f, 0x40FFFFFFu, -1, 5}};
    device.setFvf(test_support::LitVertex::kFormat);
    device.drawPrimitiveUp(PrimitiveType::TriangleFan, 2, floor, sizeof floor[0]);

    auto screen = test_support::screenQuad(420, 20, 620, 220, 0xC0FFC080u);
    screen[1].u = screen[2].u = 3;
    screen[2].v = screen[3].v = -2;
    device.setFvf(test_support::ScreenVertex::kFormat);
    device.drawPrimitiveUp(PrimitiveType::TriangleFan, 2, screen.data(), sizeof screen[0]);
    device.endScene();
    std::vector<uint32_t> pixels;
    device.readBackBuffer(pixels);
    return pixels;
}

std::vector<Case> cases() {
    using namespace renderState;
    using namespace textureStage;
    using namespace sampler;
    const StateSetting linear[] = {{MinFilter, TextureFilter::Linear}, {MagFilter, TextureFilter::Linear}};
    std::vector<Case> all = {
        {"the piece's stage: texture times colour, vertex alpha", {{AlphaOp, TextureOp::Disable}}},
        {"texture times colour, alphas multiplied", {{AlphaOp, TextureOp::Modulate}, {AlphaArg2, TextureArg::Diffuse}}},
        {"stage off", {{ColourOp, TextureOp::Disable}}},
        {"select texture", {{ColourOp, TextureOp::SelectArg1}, {AlphaOp, TextureOp::SelectArg1}}},
        {"select colour",
         {{ColourOp, TextureOp::SelectArg2}, {ColourArg2, TextureArg::Diffuse}, {AlphaOp, TextureOp::SelectArg2}}},
        {"add", {{ColourOp, TextureOp::Add}, {ColourArg2, TextureArg::Current}, {AlphaOp, TextureOp::Add}}},
        {"texture times texture", {{ColourArg2, TextureArg::Texture}, {AlphaOp, TextureOp::Disable}}},
        {"alpha test",
         {{AlphaOp, TextureOp::Modulate}, {AlphaTestEnable, true}, {AlphaFunc, Compare::Greater}, {AlphaRef, 0x70u}}},
        {"mirrored addressing", {{AddressU, TextureAddress::Mirror}, {AddressV, TextureAddress::Mirror}}},
        {"clamped addressing", {{AddressU, TextureAddress::Clamp}, {AddressV, TextureAddress::Wrap}}},
        {"linear filtering, no mips", {linear[0], linear[1]}},
        {"linear filtering, nearest mip", {linear[0], linear[1], {MipFilter, TextureFilter::Point}}},
        {"linear filtering between mips", {linear[0], linear[1], {MipFilter, TextureFilter::Linear}}},
        {"point filtering between mips", {{MipFilter, TextureFilter::Linear}}},
        {"unlit", {{Lighting, false}}},
        {"specular, local viewer, normalised", {{SpecularEnable, true}, {NormalizeNormals, true}}},
        {"specular, distant viewer", {{SpecularEnable, true}, {LocalViewer, false}}},
        {"no colour from the vertex", {{ColorVertex, false}}},
        {"ambient and diffuse from the vertex", {{AmbientMaterialSource, MaterialSource::Colour1}}},
        {"emissive from the vertex",
         {{DiffuseMaterialSource, MaterialSource::Material}, {EmissiveMaterialSource, MaterialSource::Colour1}}},
        {"specular from the vertex",
         {{SpecularEnable, true},
          {DiffuseMaterialSource, MaterialSource::Material},
          {SpecularMaterialSource, MaterialSource::Colour1}}},
        {"clip plane", {}, true},
        {"clip plane, alpha test",
         {{AlphaOp, TextureOp::Modulate},
          {AlphaTestEnable, true},
          {AlphaFunc, Compare::GreaterEqual},
          {AlphaRef, 0x90u}},
         true},
    };
    return all;
}

std::vector<std::vector<uint32_t>> drawAll(Renderer renderer) {
    auto device = test_support::openOffscreenDevice(640, 480, renderer);
    std::vector<std::vector<uint32_t>> frames;
    if (!device) return frames;
    for (const Case& c : cases()) frames.push_back(drawScene(*device, c));
    return frames;
}

TEST(PipelinesAgree, EveryStateIsDrawnByTheShadersAsByFixedFunction) {
    if (test_support::rendererUnderTest() != Renderer::Auto) GTEST_SKIP() << "draws through every renderer already";
    const auto reference = drawAll(Renderer::Compat);
    ASSERT_EQ(reference.size(), cases().size());
    for (Renderer renderer : {Renderer::Core, Renderer::Es}) {
        const auto frames = drawAll(renderer);
        ASSERT_EQ(frames.size(), reference.size());
        for (size_t i = 0; i < frames.size(); ++i) {
            const test_support::FrameDifference d = test_support::frameDifference(frames[i], reference[i]);
            const std::string where = std::string(rendererName(renderer)) + ": " + cases()[i].name;
            EXPECT_LE(d.pixelsOver, frames[i].size() / 1000) << where;
            EXPECT_LE(d.meanLevels, 0.5) << where;
        }
    }
}

}  // namespace
}  // namespace glassfalls::platform::gfx
