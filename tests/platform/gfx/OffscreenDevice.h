#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/GraphicsDevice.h"

namespace glassfalls::test_support {

// A real 640 x 480 device on Mesa, off-screen, with the device's own default state.
inline std::unique_ptr<platform::gfx::GraphicsDevice> openOffscreenDevice(int width = 640,
                                                                          int height = 480) {
    std::string error;
    auto context = platform::gfx::createOffscreenGlContext(width, height,
                                                           platform::gfx::DeviceType::Hardware, error);
    EXPECT_TRUE(context) << error;
    if (!context) return nullptr;
    platform::gfx::PresentParameters parameters;
    parameters.backBufferWidth = static_cast<uint32_t>(width);
    parameters.backBufferHeight = static_cast<uint32_t>(height);
    parameters.vsync = false;
    auto device = platform::gfx::GraphicsDevice::create(std::move(context), parameters, error);
    EXPECT_TRUE(device) << error;
    return device;
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
    uint32_t at(int x, int y) const {
        return pixels[static_cast<size_t>(y * width + x)] & 0xFFFFFFu;
    }
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
};

inline int red(uint32_t c) { return static_cast<int>((c >> 16) & 0xFF); }
inline int green(uint32_t c) { return static_cast<int>((c >> 8) & 0xFF); }
inline int blue(uint32_t c) { return static_cast<int>(c & 0xFF); }

}  // namespace glassfalls::test_support
