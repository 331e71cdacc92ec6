// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sound/MidiFileReader.h"

namespace glassfalls::platform {
namespace {

using Notes = std::vector<MidiNoteEvent>;

std::string fixture(const char* name) {
    return std::string(GLASSFALLS_SOURCE_DIR "/tests/platform/sound/midi/") + name;
}

// The committed files, each written to catch one way of misreading: running status after a
// system exclusive, a note-on of velocity 0, a second channel (format0.mid); a tempo change in
// another track than the notes and an unknown chunk between tracks (format1-tempo.mid); a
// track cut short (truncated.mid).
TEST(MidiFileReader, TheFixturesGiveTheirNotesOrSayWhatIsWrong) {
    const struct {
        const char* file;
        Notes notes;
        const char* fault;
    } cases[] = {
        {"format0.mid", {{0, 0, 60, 100}, {500, 0, 60, 0}, {500, 1, 64, 90}, {1000, 1, 64, 0}}, ""},
        {"format1-tempo.mid", {{0, 0, 67, 127}, {500, 0, 67, 0}, {500, 0, 73, 50}, {750, 0, 73, 0}}, ""},
        {"truncated.mid", {}, "track 1 is cut short"},
        {"missing.mid", {}, "cannot read the MIDI file"},
    };
    for (const auto& c : cases) {
        const auto notes = loadMidiFile(fixture(c.file));
        if (*c.fault) {
            ASSERT_FALSE(notes) << c.file;
            EXPECT_NE(notes.error().find(c.fault), std::string::npos) << notes.error();
            EXPECT_NE(notes.error().find(c.file), std::string::npos) << "names the file: " << notes.error();
            continue;
        }
        ASSERT_TRUE(notes) << c.file << ": " << notes.error();
        EXPECT_EQ(*notes, c.notes) << c.file;
    }
}

TEST(MidiFileReader, OtherFilesAreRefusedWithTheirFault) {
    const struct {
        std::vector<uint8_t> bytes;
        const char* fault;
    } cases[] = {
        {{'R', 'I', 'F', 'F', 0, 0, 0, 4, 'W', 'A', 'V', 'E'}, "not a Standard MIDI File"},
        {{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 2, 0, 1, 0, 96}, "format 2"},
        {{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96}, "holds 0 of its 1 tracks"},
        {{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96, 'M', 'T', 'r', 'k', 0, 0, 0, 3, 0, 0x40, 0x40},
         "data byte where a status belongs"},
        {{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0,    0,    0,    1,    0,   96,
          'M', 'T', 'r', 'k', 0, 0, 0, 5, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F},
         "cut short"},
    };
    for (const auto& c : cases) {
        const auto notes = readMidiFile(c.bytes);
        ASSERT_FALSE(notes) << c.fault;
        EXPECT_NE(notes.error().find(c.fault), std::string::npos) << notes.error();
    }
}

}  // namespace
}  // namespace glassfalls::platform
