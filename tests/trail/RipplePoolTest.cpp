// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "math/MatrixBuilders.h"
#include "math/TrigTables.h"
#include "tests/platform/gl/OffscreenDevice.h"
#include "trail/RipplePool.h"

namespace glassfalls {
namespace {

using namespace platform::gfx;

class RipplePoolTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(pool.init()); }

    // How many updates the ring at index 0 lives, and its radius after each of them.
    int lifetime(std::vector<float>& radii) {
        int updates = 0;
        while (pool.rings[0].active && updates < 1000) {
            pool.update();
            ++updates;
            if (pool.rings[0].active) radii.push_back(pool.rings[0].radius);
        }
        return updates;
    }

    RipplePool pool;
};

TEST_F(RipplePoolTest, LargeRingsGrowByHalfUnitsToTwentyAndEndOnTheFortyFirstUpdate) {
    pool.spawnLargeRipple({3, -0.2f, 4});
    EXPECT_EQ(pool.rings[0].centre, (Vector3{3, -0.2f, 4})) << "identity placement";
    std::vector<float> radii;
    EXPECT_EQ(lifetime(radii), 41);
    ASSERT_EQ(radii.size(), 40u);
    for (size_t i = 0; i < radii.size(); ++i) EXPECT_EQ(radii[i], 0.5f * static_cast<float>(i + 1));
    EXPECT_EQ(pool.rings[0].radius, 0.0f);
}

TEST_F(RipplePoolTest, SmallRingsEndOnTheirFifthUpdateAndHugeOnTheFiftyFirst) {
    pool.spawnSmallRipple({0, 0, 0});
    std::vector<float> radii;
    EXPECT_EQ(lifetime(radii), 5) << "the fifth sum of 0.4f is just above 2";
    EXPECT_FLOAT_EQ(radii.front(), 0.4f);
    EXPECT_FLOAT_EQ(radii.back(), 1.6f);

    pool.spawnHugeRipple({0, 0, 0});
    radii.clear();
    EXPECT_EQ(lifetime(radii), 51);
}

TEST_F(RipplePoolTest, AlphaFallsWithTheRadius) {
    pool.spawnLargeRipple({0, 0, 0});
    pool.spawnSmallRipple({0, 0, 0});
    pool.update();
    EXPECT_EQ(ringAlpha(pool.rings[0]), 249) << "255 - trunc(6.375)";
    EXPECT_EQ(ringAlpha(pool.rings[1]), 173) << "198 - trunc(25.6)";
    for (int i = 0; i < 39; ++i) pool.update();
    EXPECT_EQ(pool.rings[0].radius, 20.0f);
    EXPECT_EQ(ringAlpha(pool.rings[0]), 0);
}

TEST_F(RipplePoolTest, TheHundredAndTwentyNinthRingIsDropped) {
    for (int i = 0; i < RipplePool::kCapacity; ++i) pool.spawnLargeRipple({static_cast<float>(i), 0, 0});
    pool.spawnLargeRipple({-50, 0, 0});
    for (const Ripple& ring : pool.rings) {
        EXPECT_TRUE(ring.active);
        EXPECT_NE(ring.centre.x, -50.0f);
    }
    // Once one ends, its entry is reused first.
    pool.rings[5].active = false;
    pool.spawnSmallRipple({-50, 0, 0});
    EXPECT_EQ(pool.rings[5].centre.x, -50.0f);
    EXPECT_EQ(pool.rings[5].kind, 1);
}

TEST_F(RipplePoolTest, FollowingTheTurnTurnsThePlacementAgainstTheScene) {
    pool.followTurn(90.0f);
    pool.spawnLargeRipple({1, 0, 0});
    EXPECT_NEAR(pool.rings[0].centre.x, 0, 1e-6);
    EXPECT_NEAR(pool.rings[0].centre.z, 1, 1e-6);
    pool.spawnHugeRipple({1, 0, 0});
    EXPECT_EQ(pool.rings[1].centre, (Vector3{1, 0, 0})) << "huge rings are not placed";
}

TEST_F(RipplePoolTest, ARingIsDrawnAroundItsCentreOnTheWater) {
    fillTrigTables();
    auto device = test_support::openOffscreenDevice();
    ASSERT_TRUE(device);
    device->setTransform(TransformState::View, matrixLookAtLH({0, 64, -64}, {0, 0, 16}, {0, 1, 0}));
    device->setTransform(TransformState::Projection, matrixPerspectiveFovLH(0.78539819f, 640.0f / 480.0f, 1, 1000));
    pool.spawnLargeRipple({10, 0, 0});
    for (int i = 0; i < 10; ++i) pool.update();  // radius 5, alpha 192

    device->clear(clearFlags::Target | clearFlags::ZBuffer, 0xFF000000u, 1, 0);
    ASSERT_TRUE(device->beginScene());
    pool.draw(*device);
    device->endScene();
    const test_support::Frame frame(*device);

    int px = 0, py = 0;
    for (const auto& [x, z] : {std::pair{15.15f, 0.0f}, std::pair{4.85f, 0.0f}, std::pair{10.0f, 5.15f}}) {
        test_support::projectToPixel(*device, x, 0.1f, z, px, py);
        const uint32_t c = frame.at(px, py);
        EXPECT_NEAR(test_support::blue(c), 255 * 192 / 255, 4) << "on the band at " << x << ", " << z;
        EXPECT_NEAR(test_support::red(c), 0xAA * 192 / 255, 4);
    }
    test_support::projectToPixel(*device, 10, 0.1f, 0, px, py);
    EXPECT_EQ(frame.at(px, py), 0u) << "the middle stays clear";
    test_support::projectToPixel(*device, 16.5f, 0.1f, 0, px, py);
    EXPECT_EQ(frame.at(px, py), 0u) << "nothing outside the band";
}

}  // namespace
}  // namespace glassfalls
