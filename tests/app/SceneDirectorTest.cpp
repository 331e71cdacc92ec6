// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "app/EventTITLE.h"
#include "app/SceneDirector.h"
#include "tests/app/TestApplication.h"

using namespace glassfalls;
using glassfalls::test_support::TestApplication;

namespace {

class SceneDirectorTest : public ::testing::Test {
protected:
    void SetUp() override {
        fixture.app.world.setFrameInterval(75);
        ASSERT_TRUE(director.init(fixture.app.sceneContext()));
    }
    EventTITLE& title() { return static_cast<EventTITLE&>(*director.at(0)); }
    void advance() {
        FrameInput input;
        input.keysDown = keysDownOf(fixture.keys);
        (void)director.advance(input);
    }

    TestApplication fixture;
    SceneDirector director;
};

}  // namespace

TEST_F(SceneDirectorTest, TitleIsCurrentAndPerformanceWaits) {
    ASSERT_EQ(director.size(), 2);
    EXPECT_EQ(director.at(0)->name, "EventTITLE");
    EXPECT_EQ(director.at(1)->name, "EventCreate");
    EXPECT_EQ(director.current(), director.at(0));
}

TEST_F(SceneDirectorTest, TitleHandsOverOnItsHundredAndTwentyEighthFrameAtTheSlowerPace) {
    for (int frame = 1; frame <= 127; ++frame) {
        advance();
        ASSERT_EQ(director.current()->name, "EventTITLE") << frame;
        ASSERT_EQ(fixture.app.world.frameInterval(), 75u);
        if (frame == 64) {
            EXPECT_EQ(title().phase, 1);
            EXPECT_EQ(title().pictureAlpha, 120);
        }
        if (frame < 64) {
            EXPECT_LE(title().pictureAlpha, 120);
        }
        if (frame == 81) {
            EXPECT_EQ(title().pictureAlpha, 255);
        }
    }
    advance();
    EXPECT_EQ(director.current()->name, "EventCreate");
    EXPECT_EQ(fixture.app.world.frameInterval(), 100u);
    EXPECT_EQ(title().phase, 2);
    EXPECT_EQ(title().pictureAlpha, 255);
}

TEST_F(SceneDirectorTest, InactiveWindowFreezesTheTitle) {
    advance();
    fixture.app.active = false;
    for (int i = 0; i < 300; ++i) advance();
    EXPECT_EQ(title().fadeCounter, 4);
    EXPECT_EQ(director.current()->name, "EventTITLE");
    fixture.app.active = true;
    advance();
    EXPECT_EQ(title().fadeCounter, 8);
}

TEST_F(SceneDirectorTest, HandOverWithoutAPerformanceKeepsTheTitle) {
    director.removeAt(1);
    for (int i = 0; i < 200; ++i) advance();
    ASSERT_NE(director.current(), nullptr);
    EXPECT_EQ(director.current()->name, "EventTITLE");
    EXPECT_EQ(director.find(Scene::Performance), nullptr);
}

TEST_F(SceneDirectorTest, EscapeInTheTitleClosesTheProgram) {
    advance();
    fixture.keys.down.insert(platform::Key::Escape);
    advance();
    EXPECT_TRUE(fixture.app.hasWindow()) << "the frame is presented before the window goes";
    fixture.app.dispatchWaiting();
    EXPECT_FALSE(fixture.app.running);
    EXPECT_FALSE(fixture.app.hasWindow());
    EXPECT_TRUE(fixture.window->closed());
    advance();  // nothing moves once the window is gone
    EXPECT_EQ(title().fadeCounter, 8);
    EXPECT_EQ(director.current()->name, "EventTITLE");
}
