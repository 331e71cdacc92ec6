// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "tests/app/TestApplication.h"
#include "tests/performer/LoudestBin.h"
#include "tests/platform/sound/TestWav.h"
#include "tests/support/Backends.h"
#include "tests/support/TestDataDirectory.h"

using namespace glassfalls;
using glassfalls::test_support::TestApplication;
using platform::Message;
using platform::MessageId;

namespace {

// A picture link with nothing to say.
class QuietSource final : public OutsideSource {
public:
    void addSockets(std::vector<int>&) const override {}
    void poll(uint32_t, FrameInput&) override {}
    std::string name() const override { return "nothing"; }
};

}  // namespace

TEST(ApplicationMessages, CloseDestroysTheWindowAndEndsTheLoopWithCodeZero) {
    TestApplication fixture;
    ASSERT_TRUE(fixture.app.midiOut.open(std::make_unique<platform::NullMidiPort>()));
    fixture.app.pictureLink = std::make_unique<QuietSource>();
    fixture.window->inject({MessageId::Close});
    EXPECT_EQ(fixture.app.run(), 0);
    EXPECT_FALSE(fixture.app.running);
    EXPECT_FALSE(fixture.app.midiOut.isOpen());
    EXPECT_EQ(fixture.app.pictureLink, nullptr);
    EXPECT_TRUE(fixture.window->closed());
}

TEST(ApplicationMessages, NothingReachesADestroyedWindow) {
    TestApplication fixture;
    fixture.app.sendMessage({MessageId::Close});
    fixture.app.active = false;
    fixture.app.sendMessage({MessageId::Activate, 1});
    EXPECT_FALSE(fixture.app.active);
}

TEST(ApplicationStart, MissingPictureNamesTheFile) {
    test_support::TestDataDirectory data;
    std::filesystem::remove(data.path / "title.png");
    TestApplication fixture;
    StartOptions options;
    options.dataDir = data.path.string();
    const auto started = fixture.app.init(options);
    ASSERT_FALSE(started);
    EXPECT_NE(started.error().find("title.png"), std::string::npos) << started.error();
}

TEST(ApplicationStart, MissingGroundPictureIsSaidAndTheGroundDrawnWithoutIt) {
    test_support::TestDataDirectory data;
    std::filesystem::remove(data.path / "ground.bmp");
    TestApplication fixture;
    StartOptions options;
    options.dataDir = data.path.string();
    options.headless = true;
    testing::internal::CaptureStderr();
    const auto started = fixture.app.init(options);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(started) << started.error();
    EXPECT_NE(said.find("ground.bmp"), std::string::npos) << said;
    EXPECT_FALSE(fixture.app.world.ground.floorPicture.texture);
    EXPECT_EQ(fixture.app.world.lightMask.height, 288) << "three fifths of 480";
}

TEST(ApplicationStart, RunsPacedOnTheVirtualClockAndHandsOverToThePerformance) {
    test_support::TestDataDirectory data;
    if (test_support::kWithPictureLink)
        std::ofstream(data.path / "glassFalls.ini") << "[IP]\npictures.local\n[Port]\n4100\n";
    TestApplication fixture;
    StartOptions options;
    options.dataDir = data.path.string();
    options.frameLimit = 200;
    options.headless = true;  // the synthesiser plays into memory
    // The microphone is a file: a tone in bin 100 at another rate, in stereo.
    options.audioFile = (data.path / "voice.wav").string();
    test_support::writeToneWav(options.audioFile, 22050, 2, 100 * 8000.0 / 1024.0, 30.0);
    const auto started = fixture.app.init(options);
    ASSERT_TRUE(started) << started.error();
    EXPECT_EQ(fixture.app.world.frameInterval(), 75u);
    if (test_support::kWithPictureLink) {
        ASSERT_NE(fixture.app.pictureLink, nullptr);
        EXPECT_EQ(fixture.app.pictureLink->name(), "the picture server pictures.local:4100");
    }

    EXPECT_EQ(fixture.app.run(), 0);
    EXPECT_EQ(fixture.app.advances(), 200u);
    EXPECT_EQ(fixture.app.director.current()->name, "EventCreate");
    // 128 title frames 76 ms apart, then 72 performance frames 101 ms apart.
    EXPECT_EQ(fixture.clock.now(), 128u * 76u + 72u * 101u);

    // The last block taken is the tone, and the performers hear it in its bin.
    World& world = fixture.app.world;
    EXPECT_NE(world.heard.block()[400], 0);
    EXPECT_EQ(test_support::loudestListenedBin(world.heard.levels()), 100);
}
