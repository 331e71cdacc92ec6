// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/gl/GlDevice.h"

namespace glassfalls::test_support {

// The renderer the rendered tests draw through: GLASSFALLS_TEST_RENDERER (compat, core or
// es), so that the whole rendered suite runs under each; auto when it is not set.
inline platform::gfx::Renderer rendererUnderTest() {
    const char* chosen = std::getenv("GLASSFALLS_TEST_RENDERER");
    return platform::gfx::rendererNamed(chosen ? chosen : "").value_or(platform::gfx::Renderer::Auto);
}

// A real 640 x 480 device on Mesa, off-screen, with the device's own default state.
inline std::unique_ptr<platform::gl::GlDevice> openOffscreenDevice(
    int width = 640, int height = 480, platform::gfx::Renderer renderer = rendererUnderTest()) {
    platform::gfx::PresentParameters parameters;
    parameters.backBufferWidth = static_cast<uint32_t>(width);
    parameters.backBufferHeight = static_cast<uint32_t>(height);
    parameters.vsync = false;
    auto device = platform::gl::GlDevice::create(
        platform::gl::createOffscreenGlContext(width, height, platform::gfx::DeviceType::Hardware, renderer),
        parameters);
    EXPECT_TRUE(device) << device.error();
    return device ? std::move(*device) : nullptr;
}

// The back buffer read through its surface, as the light mask reads it.
struct Frame {
    explicit Frame(platform::gfx::GraphicsDevice& device) {
        platform::gfx::LockedRect locked;
        EXPECT_TRUE(device.backBuffer()->lockRect(locked));
        width = static_cast<int>(device.presentParameters().backBufferWidth);
        height = static_cast<int>(device.presentParameters().backBufferHeight);
        for (int y = 0; y < height; ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(locked.bits + y * locked.pitch);
            pixels.insert(pixels.end(), row, row + width);
        }
        device.backBuffer()->unlockRect();
    }
    // 0xRRGGBB, (0, 0) the top left corner.
    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)] & 0xFFFFFFu; }
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
};

// The pixel (x right, y down) where a world point lands under the device's current world,
// view and projection transforms.
inline void projectToPixel(const platform::gfx::GraphicsDevice& device, float x, float y, float z, int& px, int& py) {
    Matrix4 world, view, projection;
    device.getTransform(platform::gfx::TransformState::World, world);
    device.getTransform(platform::gfx::TransformState::View, view);
    device.getTransform(platform::gfx::TransformState::Projection, projection);
    const Matrix4 m = world.multiply(view).multiply(projection);
    float clip[4];
    for (int c = 0; c < 4; ++c) clip[c] = x * m.m[0][c] + y * m.m[1][c] + z * m.m[2][c] + m.m[3][c];
    const auto& p = device.presentParameters();
    px = static_cast<int>((clip[0] / clip[3] + 1.0f) * 0.5f * static_cast<float>(p.backBufferWidth));
    py = static_cast<int>((1.0f - clip[1] / clip[3]) * 0.5f * static_cast<float>(p.backBufferHeight));
}

inline int red(uint32_t c) { return static_cast<int>((c >> 16) & 0xFF); }
inline int green(uint32_t c) { return static_cast<int>((c >> 8) & 0xFF); }
inline int blue(uint32_t c) { return static_cast<int>(c & 0xFF); }

}  // namespace glassfalls::test_support
