// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/os/Clock.h"
#include "platform/os/WholeFile.h"
#include "platform/sound/MidiFileRecorder.h"
#include "tests/platform/sound/SmfReader.h"
#include "tests/support/TempPath.h"

namespace glassfalls::platform {
namespace {

using test_support::SmfEvent;

class MidiFileRecorderTest : public ::testing::Test {
protected:
    void TearDown() override { std::filesystem::remove(path); }

    test_support::SmfTrack onDisk() const {
        std::vector<uint8_t> bytes;
        EXPECT_TRUE(readWholeFile(path, bytes));
        return test_support::readSmf(bytes);
    }

    const std::string path = test_support::tempPath("recorder-test.mid").string();
};

TEST_F(MidiFileRecorderTest, MessagesComeBackWithTheirMillisecondsAndTheFileIsAlwaysValid) {
    MidiFileRecorder recorder;
    const auto opened = recorder.open(path);
    ASSERT_TRUE(opened) << opened.error();
    auto empty = onDisk();
    EXPECT_TRUE(empty.valid) << empty.problem;
    EXPECT_EQ(empty.division, 1000);
    EXPECT_EQ(empty.tempo, 1000000u) << "a tick is a millisecond";

    recorder.record(0xC0 | 16 << 8, 0);
    recorder.record(0x90 | 60 << 8 | 100 << 16, 0);
    recorder.record(0x80 | 60 << 8 | 64 << 16, 250);
    // Not flushed yet: the file still holds only what was flushed before, and is valid.
    EXPECT_TRUE(onDisk().valid);
    EXPECT_TRUE(onDisk().events.empty());
    recorder.flush();
    recorder.record(0xB0 | 7 << 8 | 90 << 16, 20000);  // a delta needing three bytes
    recorder.flush();
    recorder.flush();

    const auto track = onDisk();
    ASSERT_TRUE(track.valid) << track.problem;
    EXPECT_EQ(track.events,
              (std::vector<SmfEvent>{{0, 0xC0, 16, 0}, {0, 0x90, 60, 100}, {250, 0x80, 60, 64}, {20000, 0xB0, 7, 90}}));
}

TEST_F(MidiFileRecorderTest, ARecordingPortTimesMessagesByTheProgramsClock) {
    VirtualClock clock;
    clock.set(5000);
    auto recording = recordToMidiFile(std::make_unique<NullMidiPort>(), path, clock);
    ASSERT_TRUE(recording) << recording.error();
    auto port = std::move(*recording);
    port->shortMessage(0x90 | 64 << 8 | 80 << 16);
    clock.set(5101);
    port->shortMessage(0x80 | 64 << 8 | 64 << 16);
    port->flush();
    const auto track = onDisk();
    ASSERT_TRUE(track.valid) << track.problem;
    EXPECT_EQ(track.events, (std::vector<SmfEvent>{{0, 0x90, 64, 80}, {101, 0x80, 64, 64}}));
}

TEST(MidiFileRecorder, AnUnwritablePathIsAClearError) {
    MidiFileRecorder recorder;
    const auto opened = recorder.open("/nonexistent/dir/notes.mid");
    ASSERT_FALSE(opened);
    EXPECT_NE(opened.error().find("/nonexistent/dir/notes.mid"), std::string::npos) << opened.error();
}

}  // namespace
}  // namespace glassfalls::platform
