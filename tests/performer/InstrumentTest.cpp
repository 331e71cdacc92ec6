// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <optional>

#include "performer/Instrument.h"
#include "performer/Performer.h"

namespace glassfalls {
namespace {

// Every key 0 … 127, by its pitch class: white keys are heard as themselves, black keys as
// the white key below, in the octave C4 … B4; only C5 itself is heard as C5.
TEST(Instrument, EveryKeyIsHeardAsANoteOfTheScale) {
    static constexpr const char* kHeardAs[12] = {"C4", "C4", "D4", "D4", "E4", "F4",
                                                 "F4", "G4", "G4", "A4", "A4", "B4"};
    for (int key = 0; key <= 127; ++key) {
        const char* expected = key == 72 ? "C5" : kHeardAs[key % 12];
        EXPECT_STREQ(noteName(scaleNoteForKey(key)), expected) << "key " << key;
    }
    EXPECT_FLOAT_EQ(levelForVelocity(127), 1.0f);
    EXPECT_FLOAT_EQ(levelForVelocity(100), 100.0f / 127.0f);
    EXPECT_FLOAT_EQ(levelForVelocity(1), 0.45f) << "raised as a sung note's level is";
}

// What a frame hears of what was played since the last one, in order.
TEST(Instrument, AFrameHearsTheNewestNoteAndATapForOneFrame) {
    HeldNotes notes;
    EXPECT_EQ(notes.takeFrame(), std::nullopt) << "nothing played: silence";

    notes.press(0, 60, 100);
    notes.press(0, 67, 90);
    EXPECT_EQ(notes.takeFrame(), (PlayedNote{67, 90})) << "the newest of two held";
    notes.press(1, 60, 80);
    EXPECT_EQ(notes.takeFrame(), (PlayedNote{60, 80})) << "each channel counts";
    notes.release(1, 60);
    EXPECT_EQ(notes.takeFrame(), (PlayedNote{67, 90})) << "back to the newest still held";
    notes.press(0, 67, 0);
    EXPECT_EQ(notes.takeFrame(), (PlayedNote{60, 100})) << "velocity 0 lets go";
    notes.release(0, 60);
    EXPECT_EQ(notes.takeFrame(), std::nullopt);

    notes.press(0, 64, 70);
    notes.release(0, 64);
    EXPECT_EQ(notes.takeFrame(), (PlayedNote{64, 70})) << "a tap is heard for its frame";
    EXPECT_EQ(notes.takeFrame(), std::nullopt) << "and only that one";

    notes.press(0, 60, 100);
    notes.press(0, 62, 50);
    notes.release(0, 62);
    EXPECT_EQ(notes.takeFrame(), (PlayedNote{62, 50})) << "a tap newer than what is held";
    EXPECT_EQ(notes.takeFrame(), (PlayedNote{60, 100}));
}

}  // namespace
}  // namespace glassfalls
