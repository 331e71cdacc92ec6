// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <numeric>

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

// A live window made larger and smaller again: the frame follows the drawable, drawn at each
// size, and the pictures the world loaded (textures, the light mask) are the same objects
// throughout, never loaded again.
TEST(ApplicationResize, TheFrameFollowsTheWindowWithNothingReloaded) {
    test_support::OffscreenApplication fixture;
    Application& app = fixture.app;
    platform::VirtualClock& clock = fixture.clock;
    StartOptions options = test_support::quietRunOptions();
    options.windowed = true;
    const auto started = app.init(options);
    ASSERT_TRUE(started) << started.error();
    const platform::gfx::DeviceTexture* ground = app.world.ground.floorPicture.texture.get();
    const platform::gfx::DeviceTexture* mask = app.world.lightMask.texture.texture.get();
    ASSERT_NE(ground, nullptr);
    // One pass of the loop a frame interval later, as the desktop's driver would wait.
    auto nextFrame = [&] {
        clock.advance(101);
        ASSERT_FALSE(app.pass());
    };
    // Into the performance, past the title's dark opening.
    while (app.advances() < 140) nextFrame();

    for (const auto& [width, height] : {std::pair{1920, 1080}, std::pair{640, 480}, std::pair{1000, 1001}}) {
        fixture.window->resizeTo(width, height);
        for (int i = 0; i < 3; ++i) nextFrame();
        const auto& frame = app.renderDevice.presentationParameters;
        EXPECT_EQ(frame.backBufferWidth, static_cast<uint32_t>(width));
        EXPECT_EQ(frame.backBufferHeight, static_cast<uint32_t>(height));
        std::vector<uint32_t> pixels;
        app.renderDevice.device->readBackBuffer(pixels);
        ASSERT_EQ(pixels.size(), static_cast<size_t>(width) * static_cast<size_t>(height));
        EXPECT_TRUE(std::any_of(pixels.begin(), pixels.end(), [](uint32_t p) { return (p & 0xFFFFFFu) != 0; }))
            << width << " x " << height << " draws";
        EXPECT_EQ(app.world.ground.floorPicture.texture.get(), ground);
        EXPECT_EQ(app.world.lightMask.texture.texture.get(), mask);
    }
}

// The title's last frame cuts the light off below its bright points, sampled at the same
// logical points whatever the frame's size: the mask it leaves at 1920 x 1080 is the one it
// leaves at 640 x 480.
TEST(ApplicationStart, TheTitleLeavesTheSameLightMaskAtAnySize) {
    std::vector<std::vector<uint8_t>> masks;
    for (const FrameSize size : {kPieceFrame, FrameSize{1920, 1080}}) {
        test_support::OffscreenApplication fixture;
        Application& app = fixture.app;
        StartOptions options = test_support::quietRunOptions();
        options.headless = true;
        options.size = size;
        options.frameLimit = 130;  // the title is 128 advances
        const auto started = app.init(options);
        ASSERT_TRUE(started) << started.error();
        ASSERT_EQ(app.run(), 0);
        ASSERT_TRUE(app.world.lightMask.texture.dib);
        masks.push_back(app.world.lightMask.texture.dib->buffer);
    }
    const auto differing = std::inner_product(masks[0].begin(), masks[0].end(), masks[1].begin(), size_t{0},
                                              std::plus<>(), std::not_equal_to<>());
    EXPECT_EQ(differing, 0u) << "of " << masks[0].size() << " bytes";
}

// A MIDI file played as an instrument: the performance begins in the first performance frame
// with the file's first note, and three silent frames after its last note-off the performers
// close, as when singing stops.
TEST(ApplicationInstrument, AFileStartsThePerformanceAtItsFirstNoteAndEndsAfterItsLast) {
    // Drawn off-screen for real: the recording device would keep every draw of 160 frames.
    test_support::OffscreenApplication fixture;
    Application& app = fixture.app;
    StartOptions options = test_support::quietRunOptions();
    options.headless = true;
    // Notes from 0 to 1000 ms of the file, without a rest.
    options.instrument = "file:" GLASSFALLS_SOURCE_DIR "/tests/platform/sound/midi/format0.mid";
    const auto started = app.init(options);
    ASSERT_TRUE(started) << started.error();
    std::vector<std::pair<uint64_t, bool>> started_, closing;  // advance, state after it
    uint64_t firstPerformance = 0;
    while (app.advances() < 160) {
        const uint64_t before = app.advances();
        fixture.clock.advance(1);
        ASSERT_FALSE(app.pass());
        if (app.advances() == before || !app.world.group) continue;
        const Performer& first = app.world.group->performers[0];
        if (!firstPerformance && app.director.current()->kind == Scene::Performance) firstPerformance = app.advances();
        started_.push_back({app.advances(), first.started});
        closing.push_back({app.advances(), first.closing});
    }
    ASSERT_EQ(firstPerformance, 128u) << "the title's 128th advance hands over";
    auto firstWith = [](const std::vector<std::pair<uint64_t, bool>>& states) {
        for (const auto& [advance, on] : states) {
            if (on) return advance;
        }
        return uint64_t{0};
    };
    EXPECT_EQ(firstWith(started_), 129u) << "the first performance frame hears the first note";
    // Frames 101 ms apart from the first: the one at 1010 ms is the first after the file's
    // last note-off at 1000 ms; it and the two after are silent, and the next closes.
    EXPECT_EQ(firstWith(closing), 129u + 10 + 3);

    // A file cut short ends start-up naming it and its fault.
    test_support::TestApplication broken;
    options.instrument = "file:" GLASSFALLS_SOURCE_DIR "/tests/platform/sound/midi/truncated.mid";
    const auto refused = broken.app.init(options);
    ASSERT_FALSE(refused);
    EXPECT_NE(refused.error().find("truncated.mid: track 1 is cut short"), std::string::npos) << refused.error();
}
