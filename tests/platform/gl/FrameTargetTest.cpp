// SPDX-License-Identifier: GPL-3.0-or-later
// Frames read back while the next one is drawn, on a real device: each read hands over the
// very frame it was started on, or says it cannot.
#include <gtest/gtest.h>

#include "tests/platform/gl/OffscreenDevice.h"

namespace glassfalls::platform::gl {
namespace {

using gfx::clearFlags::Target;

// One frame of a single colour, shown.
void drawFrame(GlDevice& device, uint32_t colour) {
    device.clear(Target, colour, 1.0f, 0);
    ASSERT_TRUE(device.beginScene());
    device.endScene();
    ASSERT_EQ(device.present(), gfx::Result::Ok);
}

TEST(FrameTarget, AFrameReadAfterTheNextIsBegunIsStillItselfButNotAfterTwo) {
    const auto device = test_support::openOffscreenDevice();
    ASSERT_TRUE(device);
    std::vector<uint32_t> pixels;
    EXPECT_FALSE(device->finishReadBack(pixels)) << "no read started";

    drawFrame(*device, 0xFFFF0000u);
    device->startReadBack();
    drawFrame(*device, 0xFF00FF00u);
    ASSERT_TRUE(device->finishReadBack(pixels));
    EXPECT_EQ(pixels.size(), 640u * 480u);
    EXPECT_EQ(pixels.front(), 0xFFFF0000u);
    EXPECT_EQ(pixels.back(), 0xFFFF0000u);

    // The frame under way, read at once, is the one being drawn.
    device->clear(Target, 0xFF0000FFu, 1.0f, 0);
    EXPECT_EQ(test_support::Frame(*device).at(0, 0), 0x0000FFu);
    device->startReadBack();
    ASSERT_EQ(device->present(), gfx::Result::Ok);
    ASSERT_TRUE(device->finishReadBack(pixels));
    EXPECT_EQ(pixels.front(), 0xFF0000FFu);

    // Drawn over by the frame after next: nothing to hand over.
    device->startReadBack();
    drawFrame(*device, 0xFFFFFFFFu);
    drawFrame(*device, 0xFF000000u);
    EXPECT_FALSE(device->finishReadBack(pixels));
}

}  // namespace
}  // namespace glassfalls::platform::gl
