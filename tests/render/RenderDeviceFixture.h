// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include "platform/window/NullWindow.h"
#include "render/RenderDevice.h"

namespace glassfalls::test_support {

// The application's render device, for real off-screen, with the state every frame starts
// from: what the drawing of the scenes relies on.
class RenderDeviceFixture : public ::testing::Test {
protected:
    void SetUp() override {
        const auto created = renderDevice.create(platform::deviceFactoryOf(window), 640, 480, true);
        ASSERT_TRUE(created) << created.error();
        device = renderDevice.device.get();
    }

    platform::NullWindow window;
    RenderDevice renderDevice;
    platform::gfx::GraphicsDevice* device = nullptr;
};

}  // namespace glassfalls::test_support
