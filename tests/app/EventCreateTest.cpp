// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>

#include "app/EventCreate.h"
#include "app/World.h"
#include "tests/app/TestApplication.h"

using namespace glassfalls;
using glassfalls::test_support::TestApplication;
using platform::Key;

namespace {

class EventCreateTest : public ::testing::Test {
protected:
    void advance(FrameInput input = {}) {
        input.keysDown = keysDownOf(fixture.keys);
        fixture.app.world.receive(input);
        scene.step(input);
        fixture.app.dispatchWaiting();
    }

    TestApplication fixture;
    EventCreate scene{fixture.app.sceneContext()};
};

}  // namespace

TEST_F(EventCreateTest, LeftArrowTurnsTwoAndDriftsBackOne) {
    fixture.keys.down.insert(Key::Left);
    advance();
    EXPECT_EQ(scene.turnAngle, 1.0f);
    // The frame is drawn turned by the angle after the arrows (2 degrees), not the angle
    // after the drift (1) nor before the arrows (0).
    const Vector3 turned = Vector3{1, 0, 0}.rotate(scene.turnMatrix);
    EXPECT_NEAR(turned.x, 0.99939083f, 1e-6f);
    EXPECT_NEAR(std::abs(turned.z), 0.0348995f, 1e-6f);
    advance();
    EXPECT_EQ(scene.turnAngle, 2.0f);
}

TEST_F(EventCreateTest, RightArrowFromZeroWrapsBelowZero) {
    fixture.keys.down.insert(Key::Right);
    advance();
    EXPECT_EQ(scene.turnAngle, 357.0f);
    fixture.keys.down.clear();
    for (int i = 0; i < 357; ++i) advance();
    EXPECT_EQ(scene.turnAngle, 0.0f);
    advance();
    EXPECT_EQ(scene.turnAngle, 0.0f);
}

TEST_F(EventCreateTest, TurnMatrixIsARowVectorYaw) {
    const Matrix4 m = EventCreate::turnMatrixFor(90.0f);
    EXPECT_NEAR(m.m[0][2], -1.0f, 1e-6f);
    EXPECT_NEAR(m.m[2][0], 1.0f, 1e-6f);
    EXPECT_NEAR(m.m[0][0], 0.0f, 1e-6f);
    EXPECT_EQ(m.m[1][1], 1.0f);
    EXPECT_EQ(m.m[3][3], 1.0f);
}

TEST_F(EventCreateTest, OpeningFadeTakesSixtyFourFrames) {
    for (int i = 0; i < 63; ++i) advance();
    EXPECT_TRUE(scene.fadingIn);
    EXPECT_EQ(scene.fadeLevel, 252);
    advance();
    EXPECT_FALSE(scene.fadingIn);
    EXPECT_EQ(scene.fadeLevel, 255);
}

TEST_F(EventCreateTest, EscapeDuringTheOpeningFadeQuitsFromWhereItIs) {
    for (int i = 0; i < 25; ++i) advance();
    EXPECT_EQ(scene.fadeLevel, 100);
    fixture.keys.down.insert(Key::Escape);
    int stageZeroFrames = 0;
    while (scene.quitStage == 0) {
        advance();
        ++stageZeroFrames;
    }
    EXPECT_EQ(stageZeroFrames, 26);
    EXPECT_FALSE(scene.fadingIn);

    int stageOneFrames = 0;
    while (fixture.app.running) {
        advance();
        ++stageOneFrames;
        ASSERT_LE(stageOneFrames, 40);
    }
    EXPECT_EQ(stageOneFrames, 32);
    EXPECT_FALSE(fixture.app.hasWindow());
}

TEST_F(EventCreateTest, APictureIsOnTheGroundInTheFrameItComesWithAndOneFromTheTitleWaitsForIt) {
    ASSERT_TRUE(fixture.deviceReady);
    World& world = fixture.app.world;
    world.ground.init(*fixture.app.renderDevice.device);
    advance();
    EXPECT_FALSE(world.ground.netPictureShown) << "nothing has arrived";
    FrameInput withPicture;
    withPicture.picture.assign(Ground::kNetPictureBytes, 200);
    advance(withPicture);
    EXPECT_TRUE(world.ground.netPictureShown);
    EXPECT_EQ(world.ground.floor[0].x, -40.0f) << "the 80-unit picture square";

    // During the title nobody shows it; the performance's next step does.
    world.ground.netPictureShown = false;
    world.receive(withPicture);
    EXPECT_FALSE(world.ground.netPictureShown);
    advance();
    EXPECT_TRUE(world.ground.netPictureShown);
    EXPECT_TRUE(world.waitingPicture.empty()) << "shown once, not every frame";
}
