// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/os/Expected.h"

namespace glassfalls::platform {

// A key pressed or let go, at its time in the file.
struct MidiNoteEvent {
    uint32_t ms = 0;       // from the file's start, through its tempo map
    uint8_t channel = 0;   // 0 … 15
    uint8_t key = 0;       // 0 … 127
    uint8_t velocity = 0;  // 1 … 127 pressed; 0 let go (a note-off, or a note-on of velocity 0)
    friend bool operator==(const MidiNoteEvent&, const MidiNoteEvent&) = default;
};

// The notes of a Standard MIDI File of format 0 or 1, every track's, in the order they sound
// (a file's order within one moment). Ticks become milliseconds through every tempo change
// of any track, or through SMPTE time. Running status is followed; system exclusive, meta
// events other than tempo, the other channel messages and chunks of unknown kinds are read
// past. Every length is checked against the bytes there are: a file cut short or not a MIDI
// file at all is a failure saying what is wrong.
Expected<std::vector<MidiNoteEvent>> readMidiFile(std::span<const uint8_t> bytes);

// The same from a file; the failure names it.
Expected<std::vector<MidiNoteEvent>> loadMidiFile(const std::string& path);

}  // namespace glassfalls::platform
