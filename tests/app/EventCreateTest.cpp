#include <gtest/gtest.h>

#include "app/EventCreate.h"
#include "tests/app/TestApplication.h"

using namespace glassfalls;
using glassfalls::test_support::TestApplication;
using platform::Key;

namespace {

class EventCreateTest : public ::testing::Test {
protected:
    void advance() {
        scene.update();
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
    // The matrix drawn with was built from the angle after the input step, 2 degrees.
    EXPECT_EQ(scene.turnMatrix, EventCreate::turnMatrixFor(2.0f));
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

TEST_F(EventCreateTest, TheFirstPictureFromTheLinkIsOnTheGroundInTheSameFrame) {
    ASSERT_TRUE(fixture.deviceReady);
    Ground& ground = fixture.app.world.ground;
    ground.init(*fixture.app.renderDevice.device, "/nonexistent/ground.bmp");
    fixture.app.netLink = std::make_unique<ImageNetLink>();
    advance();
    EXPECT_FALSE(ground.netPictureShown) << "nothing has arrived";
    fixture.app.netLink->frameBuffer.assign(ImageNetLink::kPictureBytes, 200);
    fixture.app.netLink->pictureReady = true;
    ++fixture.app.netLink->picturesReceived;
    advance();
    EXPECT_TRUE(ground.netPictureShown);
    EXPECT_EQ(ground.floor[0].x, -40.0f) << "the 80-unit picture square";
}
