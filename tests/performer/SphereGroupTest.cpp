// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "math/PieceRandom.h"
#include "performer/SphereGroup.h"
#include "platform/gfx/RecordingDevice.h"
#include "tests/performer/PerformerFixture.h"
#include "tests/support/TestDataDirectory.h"

namespace glassfalls {
namespace {

// A group of its own, with a drawing device for its placements.
class SphereGroupTest : public test_support::PerformerFixture {
protected:
    void initGroup() { ASSERT_TRUE(group.init(&world, "/nonexistent/music.dat")); }
    platform::gfx::RecordingDevice device;
    SphereGroup group;
};

TEST_F(SphereGroupTest, EightPerformersStandTurnedAroundTheCentre) {
    initGroup();
    for (int i = 0; i < SphereGroup::kPerformers; ++i) {
        const Performer& p = group.performers[static_cast<size_t>(i)];
        const float half = static_cast<float>(i) * 22.5f * 3.14159265f / 180.0f;
        EXPECT_NEAR(p.orientation.x, 0, 1e-6) << i;
        EXPECT_NEAR(p.orientation.y, std::sin(half), 1e-6) << i;
        EXPECT_NEAR(p.orientation.z, 0, 1e-6) << i;
        EXPECT_NEAR(p.orientation.w, std::cos(half), 1e-6) << i;
        EXPECT_NEAR(p.position.x, 12, 1e-4) << i;
        EXPECT_NEAR(p.position.y, 0, 1e-5) << i;
        EXPECT_NEAR(p.position.z, 0, 1e-4) << i;
        EXPECT_TRUE(p.active);
        EXPECT_EQ(p.segmentCapacity, 288);
    }
}

// The first values of the sequence the piece was first made with, after seeding 6; and
// nothing else that calls the C library's generator (the synthesiser does, thousands of
// times) may move it.
TEST_F(SphereGroupTest, TheRandomSequenceStartsAfreshAtTheSameValuesEverywhere) {
    pieceRandom::seed(12345);
    pieceRandom::next();
    initGroup();
    std::srand(1);
    for (int i = 0; i < 1000; ++i) std::rand();
    for (const int expected : {58, 6673, 30119, 15745, 5206}) EXPECT_EQ(pieceRandom::next(), expected);
}

TEST_F(SphereGroupTest, SteppingAllEightLeavesTheLastPlacementForTheRings) {
    initGroup();
    const Matrix4 parent = Matrix4::translation(0, 1, 0);
    group.step(parent, {});
    group.draw(device, parent, 1.0f);

    // The rings take the eighth performer's placement, not the first's: its foot stands on
    // the parent's level, 12 from the centre and one eighth of the circle from the first's.
    const Matrix4& rings = world.ripples.placement;
    const Matrix4& first = group.performers[0].placement;
    EXPECT_NEAR(rings.m[3][1], 1.0f, 1e-5f);
    EXPECT_NEAR(std::hypot(rings.m[3][0], rings.m[3][2]), 12.0f, 1e-4f);
    const float apart = std::atan2(rings.m[3][0] * first.m[3][2] - rings.m[3][2] * first.m[3][0],
                                   rings.m[3][0] * first.m[3][0] + rings.m[3][2] * first.m[3][2]);
    EXPECT_NEAR(std::abs(apart), 0.7853982f, 1e-4f);
    Matrix4 after;
    device.getTransform(platform::gfx::TransformState::World, after);
    EXPECT_EQ(after, parent) << "the world transform goes back to the parent";
    EXPECT_EQ(device.getRenderState(platform::gfx::renderState::ClipPlaneEnable), 0u);
    EXPECT_EQ(device.getRenderState(platform::gfx::renderState::SpecularEnable), 0u);

    // Each performer stands 12 from the centre: (12, 0, 0) in its turned frame.
    for (int i = 0; i < SphereGroup::kPerformers; ++i) {
        const Performer& p = group.performers[static_cast<size_t>(i)];
        const Matrix4 w =
            Matrix4::translation(p.position.x, p.position.y, p.position.z).multiply(p.orientation.toMatrix());
        const float x = w.m[3][0], z = w.m[3][2];
        EXPECT_NEAR(std::sqrt(x * x + z * z), 12.0f, 1e-4) << i;
    }
}

}  // namespace
}  // namespace glassfalls
