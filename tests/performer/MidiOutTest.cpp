// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "performer/MidiOut.h"
#include "tests/platform/sound/RecordingMidiPort.h"

namespace glassfalls {
namespace {

using Message = test_support::RecordingMidiPort::Message;
using Messages = std::vector<Message>;

class MidiOutTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(out.open(std::make_unique<test_support::RecordingMidiPort>(sent))); }

    Messages change(uint8_t newNote, uint8_t newVelocity, uint8_t previousNote, uint8_t previousVelocity) {
        sent.clear();
        out.noteChange(newNote, newVelocity, previousNote, previousVelocity);
        return sent;
    }

    Messages sent;
    MidiOut out;
};

TEST(MidiOutPacking, StatusThenDataBytesLowestFirst) {
    const uint32_t word = MidiOut::pack(0x90, 60, 100);
    EXPECT_EQ(word & 0xFF, 0x90u);
    EXPECT_EQ((word >> 8) & 0xFF, 0x3Cu);
    EXPECT_EQ((word >> 16) & 0xFF, 0x64u);
    EXPECT_EQ(word >> 24, 0u);
}

TEST_F(MidiOutTest, EveryNoteChangeCase) {
    EXPECT_EQ(change(62, 100, 60, 90), (Messages{{0x80, 60, 64}, {0xC0, 16, 0}, {0x90, 62, 100}}));
    EXPECT_EQ(change(60, 90, 60, 100), (Messages{{0xB0, 7, 90}}));
    EXPECT_EQ(change(60, 100, 60, 100), Messages{});
    EXPECT_EQ(change(255, 64, 67, 80), (Messages{{0x80, 67, 64}}));
    EXPECT_EQ(change(64, 80, 255, 64), (Messages{{0xC0, 16, 0}, {0x90, 64, 80}}));
    EXPECT_EQ(change(255, 64, 255, 64), Messages{});
}

TEST_F(MidiOutTest, AllNotesOffSilencesTheEightScaleNotesInOrder) {
    out.allNotesOff();
    Messages expected;
    for (int note : {60, 62, 64, 65, 67, 69, 71, 72}) expected.push_back({0x80, static_cast<uint8_t>(note), 64});
    EXPECT_EQ(sent, expected);
}

TEST_F(MidiOutTest, ClosingSilencesOnlyTheNotesStillSounding) {
    out.noteChange(60, 100, 255, 0);
    out.noteChange(64, 90, 60, 100);
    out.send(0x90, 67, 80);
    sent.clear();
    EXPECT_TRUE(out.close());
    EXPECT_EQ(sent, (Messages{{0x80, 64, 64}, {0x80, 67, 64}}));
    EXPECT_FALSE(out.isOpen());

    sent.clear();
    out.send(0x90, 60, 100);
    EXPECT_TRUE(sent.empty()) << "nothing goes out once closed";
    EXPECT_TRUE(out.close()) << "closing what is closed";
}

TEST_F(MidiOutTest, ASecondOpenIsRefused) {
    Messages other;
    EXPECT_FALSE(out.open(std::make_unique<test_support::RecordingMidiPort>(other)));
    out.send(0xB0, 7, 1);
    EXPECT_EQ(sent.size(), 1u);
    EXPECT_TRUE(other.empty());
}

}  // namespace
}  // namespace glassfalls
