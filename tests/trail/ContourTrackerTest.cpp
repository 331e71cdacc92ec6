// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <initializer_list>

#include "trail/ContourTracker.h"

namespace glassfalls {
namespace {

ContourTracker after(std::initializer_list<int> notes) {
    ContourTracker tracker;
    tracker.open();
    tracker.reset();
    for (int n : notes) tracker.pushNote(static_cast<uint8_t>(n));
    return tracker;
}

TEST(ContourTracker, StartsUnclassifiedWithTheSlowestRhythm) {
    const ContourTracker fresh = after({});
    EXPECT_EQ(fresh.contour(), 7);
    EXPECT_EQ(fresh.rhythmDivisor(), 1);
}

TEST(ContourTracker, ClassifiesTheLastThreeDistinctNotes) {
    EXPECT_EQ(after({60, 62, 64}).contour(), 6);
    EXPECT_EQ(after({60, 62, 64, 67}).contour(), 6) << "62, 64, 67 still rises";
    EXPECT_EQ(after({60, 62, 64, 62}).contour(), 3) << "62, 64, 62 is out and back, low";
    EXPECT_EQ(after({72, 70, 72}).contour(), 4);
    EXPECT_EQ(after({60, 62, 60}).contour(), 3);
    EXPECT_EQ(after({64, 62, 60}).contour(), 1);
    EXPECT_EQ(after({60, 64, 62}).contour(), 7);
    EXPECT_EQ(after({60, 62}).contour(), 7) << "two notes only fill the window";
}

TEST(ContourTracker, RepeatsOnlyCountAsNewNotesAfterARest) {
    const ContourTracker held = after({60, 60, 60});
    EXPECT_EQ(held.count(), 1);
    EXPECT_EQ(held.repeats(), 2);
    EXPECT_EQ(after({60, 255, 60, 255, 60}).contour(), 2);
    EXPECT_EQ(after({70, 255, 70, 255, 70}).contour(), 1) << "three equal high notes";
}

TEST(ContourTracker, RhythmDivisorFollowsHowLongNotesWereHeld) {
    // Each note held for five further steps before the next one enters.
    ContourTracker tracker = after({});
    for (int note : {60, 62, 64, 65}) {
        for (int step = 0; step < 6; ++step) tracker.pushNote(static_cast<uint8_t>(note));
    }
    EXPECT_EQ(tracker.rhythmDivisor(), 4) << "holds 5, 5, 5: m = 5";
    EXPECT_EQ(after({60, 62, 64, 65}).rhythmDivisor(), 16) << "no holds at all";
    // Before three real notes have entered, the 255s of the reset weigh in.
    EXPECT_EQ(after({60, 60, 60, 62}).rhythmDivisor(), 1);
}

}  // namespace
}  // namespace glassfalls
