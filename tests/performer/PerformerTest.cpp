// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>

#include "tests/performer/PerformerFixture.h"

namespace glassfalls {
namespace {

using Message = test_support::RecordingMidiPort::Message;

float degreesBetween(const Vector3& a, const Vector3& b) {
    const float c = normalise(a).dot(normalise(b));
    return std::acos(std::clamp(c, -1.0f, 1.0f)) * 57.29578f;
}

Vector3 stepOf(const Performer& p, int k) {
    return p.segments[static_cast<size_t>(k)].position - p.segments[static_cast<size_t>(k - 1)].position;
}

// Both sides of every band edge: a band one off moves a whole note and a whole direction.
TEST(NoteTable, EveryBandEdgePicksItsNoteDirectionAndName) {
    const struct {
        int32_t band, note;
        float degrees;
        const char* name;
    } table[] = {
        {60, 60, 0, "C4"},    {68, 60, 0, "C4"},    {69, 62, 45, "D4"},   {75, 62, 45, "D4"},
        {76, 64, 90, "E4"},   {84, 64, 90, "E4"},   {85, 65, 135, "F4"},  {94, 65, 135, "F4"},
        {95, 67, 180, "G4"},  {102, 67, 180, "G4"}, {103, 69, 225, "A4"}, {116, 69, 225, "A4"},
        {117, 71, 275, "B4"}, {122, 71, 275, "B4"}, {123, 72, 315, "C5"}, {139, 72, 315, "C5"},
    };
    for (const auto& row : table) {
        const BandNote played = noteForBand(row.band);
        EXPECT_EQ(played.note, row.note) << row.band;
        EXPECT_EQ(played.bendDegrees, row.degrees) << row.band;
        EXPECT_NEAR(played.bendRadians, row.degrees * 0.017453292f, 1e-5f) << row.band;
        EXPECT_STREQ(noteName(played.note), row.name) << row.band;
    }
    EXPECT_STREQ(noteName(Performer::kNoNote), "silence");
    EXPECT_STREQ(noteName(61), "silence");
}

TEST(HearingABand, TheLowerOfEqualBinsWinsAndEightyIsSilence) {
    std::vector<float> levels(512, 480.0f);
    levels[90] = 40.7f;
    levels[70] = 40.2f;  // the same truncated value, a lower bin
    levels[150] = 1.0f;  // outside the voice's range
    const HeardBand heard = loudestBand(levels.data());
    EXPECT_EQ(heard.band, 70);
    EXPECT_EQ(heard.strength, 40);
    EXPECT_FALSE(isNote({70, 80}));
    EXPECT_TRUE(isNote({70, 79}));
    EXPECT_FALSE(isNote({-1, 0}));
}

using PerformerTest = test_support::PerformerFixture;

TEST_F(PerformerTest, InitLeavesOneSegmentAtTheOriginAndResetKeepsTheClosingRecord) {
    initListening();
    EXPECT_EQ(performer.segmentCount, 1);
    EXPECT_EQ(performer.lastNote, 255);
    EXPECT_EQ(performer.segments[0].position, (Vector3{0, 0, 0}));
    EXPECT_EQ(performer.segments[0].radius, 0.8f);
    EXPECT_FALSE(performer.score.present);

    performer.closingCursor = 40;
    performer.endCount = 50;
    performer.lastLevel = 0.7f;
    performer.lastVelocity = 90;
    performer.belowZeroRippled = true;
    performer.reset();
    EXPECT_EQ(performer.closingCursor, 40);
    EXPECT_EQ(performer.endCount, 50);
    EXPECT_EQ(performer.lastLevel, 0.7f);
    EXPECT_EQ(performer.lastVelocity, 90);
    EXPECT_TRUE(performer.belowZeroRippled);
}

TEST_F(PerformerTest, AToneInBinOneHundredPlaysGAndBendsHalfWayRoundTheTube) {
    initListening();
    hearTone(100, 12000);
    update();
    EXPECT_TRUE(performer.started) << "the first note starts a performance";
    EXPECT_EQ(performer.lastNote, 67);
    ASSERT_EQ(performer.segmentCount, 2);
    EXPECT_EQ(world.ripples.rings[0].active, true) << "a large ring at the start";

    // Straight on at first; then bent toward the far side of the tube from rim point 0.
    const TrailSegment& before = performer.lastSegment();
    const Vector3 across = before.rim[0].position - before.position;
    const Vector3 along = before.direction;
    update();
    ASSERT_EQ(performer.segmentCount, 3);
    const Vector3 step = stepOf(performer, 2);
    EXPECT_GT(step.dot(along), 0.0f);
    EXPECT_LT(step.dot(across), 0.0f) << "180 degrees round from rim point 0";
    EXPECT_NEAR(degreesBetween(step - step.dot(normalise(along)) * normalise(along), across), 180.0f, 1.0f);
}

TEST_F(PerformerTest, LevelsFromTheMicrophonePeakAndNote) {
    initListening();
    hearTone(100, 0);
    performer.started = true;
    update();  // silence: note 255, peak 0
    EXPECT_EQ(performer.lastLevel, 0.45f);
    EXPECT_EQ(performer.lastVelocity, 64);

    hearTone(130, 2000);  // note 72, peak about 2000: k = 13 x 2000 x 2 = 52000
    update();
    EXPECT_EQ(performer.lastNote, 72);
    EXPECT_EQ(performer.lastLevel, 1.0f);
    EXPECT_EQ(performer.lastVelocity, 127);
}

TEST_F(PerformerTest, RisingNotesTurnTheTrailTowardMinusZTenDegreesAtATime) {
    initWithScore({{64, 200, 1},
                   {72, 200, 1},
                   {80, 200, 1},
                   {90, 200, 1},
                   {100, 200, 1},
                   {110, 200, 1},
                   {120, 200, 1},
                   {130, 200, 1}});
    for (int i = 0; i < 8; ++i) update();
    ASSERT_EQ(performer.contourTracker.contour(), 6);
    ASSERT_EQ(performer.segmentCount, 9);
    const Vector3 target{0, 0, -1};
    // From the third note on the contour steers: each step turns at most 10 degrees and
    // every step points closer to the target than the one before.
    for (int k = 4; k <= 8; ++k) {
        EXPECT_LE(degreesBetween(stepOf(performer, k), stepOf(performer, k - 1)), 10.01f) << k;
        EXPECT_LT(degreesBetween(stepOf(performer, k), target), degreesBetween(stepOf(performer, k - 1), target)) << k;
    }
}

// The update that starts a performance resets the performer, and with it the melody: the
// first entry is played again from its start.
TEST_F(PerformerTest, EveryLaidSegmentSoundsItsNoteChange) {
    initWithScore({{64, 255, 2}, {100, 164, 1}, {255, 0, 1}});
    update();  // starts: note 60, velocity 127
    update();  // 60 again at the same loudness: nothing
    update();  // 60's last step: the level is the next entry's, 164 gives 81
    update();  // note 67; the level of the rest behind it (0) gives 64
    update();  // the rest
    EXPECT_EQ(sent, (std::vector<Message>{
                        {0x80, 0, 64},
                        {0xC0, 16, 0},
                        {0x90, 60, 127},  // from segment 0's note 0
                        {0xB0, 7, 81},
                        {0x80, 60, 64},
                        {0xC0, 16, 0},
                        {0x90, 67, 64},
                        {0x80, 67, 64},
                    }));
}

TEST_F(PerformerTest, AfterTheMelodyEndsItsLastLoudnessShapesTheGrowth) {
    initWithScore({{64, 200, 1}});
    update();  // starts, and rewinds the melody
    update();  // the one entry again
    update();  // the melody is over: no note
    EXPECT_EQ(performer.lastNote, 255);
    EXPECT_EQ(performer.scoreIndex, 1);
    EXPECT_EQ(performer.lastLevel, 200 * 0.003921569f);
}

TEST_F(PerformerTest, RestsBendTheTrailDownAndBelowTheWaterLineUpAgain) {
    initWithScore({{64, 200, 1}, {255, 200, 2}});
    update();  // starts
    update();
    const Vector3 up = normalise(stepOf(performer, performer.segmentCount - 1));
    update();  // a rest
    EXPECT_EQ(performer.silentSteps, 1);
    EXPECT_LT(normalise(stepOf(performer, performer.segmentCount - 1)).y, up.y - 0.01f) << "falls";

    // Slanting down under the water line; with nothing heard the path bends back up.
    layStraight(8, normalise(Vector3{1, -1, 0}));
    ASSERT_LT(performer.lastSegment().position.y, Performer::kWaterLine);
    const float slant = normalise(stepOf(performer, performer.segmentCount - 1)).y;
    update();
    EXPECT_EQ(performer.silentSteps, 2);
    EXPECT_GT(normalise(stepOf(performer, performer.segmentCount - 1)).y, slant + 0.01f) << "rises";
}

TEST_F(PerformerTest, ThreeSilentUpdatesStillGrowAndTheNextOneEndsThePerformance) {
    initWithScore({{64, 200, 1}, {255, 0, 3}});
    update();  // starts
    update();  // the note
    for (int i = 0; i < 3; ++i) update();
    EXPECT_EQ(performer.silentSteps, 3);
    EXPECT_EQ(performer.segmentCount, 6);
    EXPECT_FALSE(performer.closing);
    update();
    EXPECT_TRUE(performer.closing);
    EXPECT_EQ(performer.segmentCount, 6);
    EXPECT_EQ(performer.endCount, 6);
    EXPECT_EQ(world.frameInterval, 115u);
}

TEST_F(PerformerTest, NinetySixSegmentsEndThePerformance) {
    initWithScore({{64, 200, 1000}});
    update();
    layStraight(94, {0, 1, 0});
    ASSERT_EQ(performer.segmentCount, 96);
    update();
    EXPECT_TRUE(performer.closing);
    EXPECT_EQ(performer.segmentCount, 96);
}

TEST_F(PerformerTest, EnterStartsAWaitingPerformerOnlyAndBeginsWithAFall) {
    initListening();
    PerformerInput enter;
    enter.enter = true;
    performer.update(enter);
    EXPECT_TRUE(performer.started);
    ASSERT_EQ(performer.segmentCount, 2);
    EXPECT_LT(performer.lastSegment().position.y, 0.5f) << "silent: the fall step, not straight up";

    layStraight(5, {0, 1, 0});
    const int32_t count = performer.segmentCount;
    performer.update(enter);
    EXPECT_EQ(performer.segmentCount, count + 1) << "Enter during a performance changes nothing";
    EXPECT_TRUE(performer.started);
}

TEST_F(PerformerTest, ClosingBelowTheWaterLineWithSixtySegmentsFinishesOnTheTwentiethCall) {
    initWithScore({{64, 200, 1000}});
    update();
    layStraight(58, {0, -1, 0}, 0.05f);
    ASSERT_EQ(performer.segmentCount, 60);
    performer.segments[59].position.y = -1.0f;
    performer.silentSteps = 3;
    update();
    ASSERT_TRUE(performer.closing);
    EXPECT_TRUE(performer.belowZeroRippled);

    sent.clear();
    int calls = 0;
    while (performer.closing && calls < 100) {
        performer.closeStep();
        ++calls;
    }
    EXPECT_EQ(calls, 20);
    EXPECT_EQ(performer.segmentCount, 1) << "reset";
    EXPECT_FALSE(performer.started);
    EXPECT_EQ(sent.size(), 8u) << "the eight scale notes silenced";
    EXPECT_EQ(world.frameInterval, 100u);
}

TEST_F(PerformerTest, ClosingAtTheCapacityFinishesTwiceInOneFrame) {
    initWithScore({{64, 200, 1000}});
    update();
    performer.segmentCapacity = 288;
    layStraight(285, {0, 1, 0}, 0.05f);
    ASSERT_EQ(performer.segmentCount, 287);
    performer.closing = true;
    performer.closingCursor = 0;
    sent.clear();
    const int ringsBefore = static_cast<int>(std::count_if(world.ripples.rings.begin(), world.ripples.rings.end(),
                                                           [](const Ripple& r) { return r.active; }));
    performer.closeStep();
    EXPECT_FALSE(performer.closing);
    EXPECT_EQ(performer.segmentCount, 1);
    const auto scaleNoteOffs = std::count_if(
        sent.begin(), sent.end(), [](const Message& m) { return m.status == 0x80 && m.data1 >= 60 && m.data1 <= 72; });
    EXPECT_EQ(scaleNoteOffs, 16) << "all notes off twice";
    const int ringsAfter = static_cast<int>(std::count_if(world.ripples.rings.begin(), world.ripples.rings.end(),
                                                          [](const Ripple& r) { return r.active; }));
    EXPECT_EQ(ringsAfter - ringsBefore, 2) << "one at the cursor, one at segment 0";
}

TEST_F(PerformerTest, AForcedSegmentNeverPassesTheCapacity) {
    initWithScore({{64, 200, 1000}});
    update();
    performer.segmentCapacity = 10;
    layStraight(8, {0, 1, 0});
    ASSERT_EQ(performer.segmentCount, 10);
    EXPECT_FALSE(performer.append({0, 50, 0}, 60, 100, true));
    EXPECT_EQ(performer.segmentCount, 10);
}

}  // namespace
}  // namespace glassfalls
