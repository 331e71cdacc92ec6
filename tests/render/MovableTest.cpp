// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "platform/gfx/RecordingDevice.h"
#include "render/Movable.h"
#include "tests/math/VectorExpectations.h"

namespace glassfalls {
namespace {

struct Thing final : Movable {};

TEST(Movable, MovesInItsOwnTurnedFrame) {
    Thing fresh;
    fresh.move({0, 0, 5});
    test_support::expectNear(fresh.position, {0, 0, 5});

    Thing turned;
    turned.turn(false, 90);
    turned.move({1, 0, 0});
    test_support::expectNear(turned.position, {0, 0, -1});
    test_support::expectNear(turned.previousPosition, {0, 0, 0});
}

TEST(Movable, TurnRemembersTheOrientationBeforeIt) {
    Thing thing;
    thing.turn(true, 30);
    const Quaternion afterFirst = thing.orientation;
    thing.turn(false, 20);
    EXPECT_EQ(thing.previousOrientation, afterFirst);
}

TEST(Movable, EightEighthTurnsComeBackWithTheSignReversed) {
    Thing thing;
    for (int i = 0; i < 8; ++i) thing.turn(false, 45);
    EXPECT_NEAR(thing.orientation.x, 0, 1e-6);
    EXPECT_NEAR(thing.orientation.y, 0, 1e-5);
    EXPECT_NEAR(thing.orientation.z, 0, 1e-6);
    EXPECT_NEAR(thing.orientation.w, -1, 1e-5);
}

TEST(Movable, PlacingRotatesThenTranslatesThenAppliesTheParent) {
    platform::gfx::RecordingDevice device;
    Thing thing;
    thing.turn(false, 90);
    thing.position = {3, 0, 0};
    const Matrix4 parent = Matrix4::translation(0, 10, 0);
    thing.place(device, parent);

    Matrix4 world;
    device.getTransform(platform::gfx::TransformState::World, world);
    // The object's own +x ends up along world -z (turned 90 degrees about y), then moved by
    // its position and the parent.
    const float x = 1, y = 0, z = 0;
    EXPECT_NEAR(x * world.m[0][0] + y * world.m[1][0] + z * world.m[2][0] + world.m[3][0], 3, 1e-5);
    EXPECT_NEAR(x * world.m[0][1] + y * world.m[1][1] + z * world.m[2][1] + world.m[3][1], 10, 1e-5);
    EXPECT_NEAR(x * world.m[0][2] + y * world.m[1][2] + z * world.m[2][2] + world.m[3][2], -1, 1e-5);
    EXPECT_EQ(thing.previousPosition, thing.position);
    EXPECT_EQ(thing.previousOrientation, thing.orientation);
}

}  // namespace
}  // namespace glassfalls
