// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/gl/FrameTarget.h"

namespace glassfalls::platform::gl {
namespace {

TEST(Letterbox, KeepsFourToThreeCentredInAnyWindow) {
    const Letterbox wide = letterbox(640, 480, 1920, 1080);
    EXPECT_EQ(wide.x, 240);
    EXPECT_EQ(wide.y, 0);
    EXPECT_EQ(wide.width, 1440);
    EXPECT_EQ(wide.height, 1080);

    const Letterbox tall = letterbox(640, 480, 800, 800);
    EXPECT_EQ(tall.x, 0);
    EXPECT_EQ(tall.y, 100);
    EXPECT_EQ(tall.width, 800);
    EXPECT_EQ(tall.height, 600);

    const Letterbox exact = letterbox(640, 480, 640, 480);
    EXPECT_EQ(exact.width, 640);
    EXPECT_EQ(exact.height, 480);
    EXPECT_EQ(exact.x + exact.y, 0);
}

// What a driver without BGRA read-back hands over: bytes R, G, B, A for every pixel.
TEST(FrameRead, RgbaBytesBecomeTexelsWithRedAndBlueInTheirPlaces) {
    const uint8_t bytes[] = {0x11, 0x22, 0x33, 0x44, 0xFF, 0x00, 0x80, 0x01};
    std::vector<uint32_t> pixels(2);
    std::memcpy(pixels.data(), bytes, sizeof bytes);
    rgbaBytesToTexels(pixels);
    EXPECT_EQ(pixels, (std::vector<uint32_t>{0x44112233u, 0x01FF0080u}));
}

}  // namespace
}  // namespace glassfalls::platform::gl
