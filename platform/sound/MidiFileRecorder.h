// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/sound/MidiPort.h"

namespace glassfalls::platform {

// Writes short messages to a Standard MIDI File (format 0, one track, 1000 ticks per quarter
// note at 1,000,000 us per quarter: one tick per millisecond). The file on disk is a valid
// MIDI file after every flush, and stays one if the program is killed in the middle of
// one: new events are written after the old end of the track, the track's length is then
// extended over them, and only then is the old end marker turned into an empty text event.
class MidiFileRecorder {
public:
    ~MidiFileRecorder();

    // Creates (or truncates) the file with an empty track.
    Expected<void> open(const std::string& path);
    // `message` at `millisecond` (counted from the recording's start, never decreasing).
    void record(uint32_t message, uint32_t millisecond);
    void flush();

private:
    bool writeAt(long offset, const std::vector<uint8_t>& bytes);

    std::FILE* file_ = nullptr;
    std::vector<uint8_t> pending_;  // events since the last flush
    uint32_t lastTick_ = 0;
    uint32_t trackLength_ = 0;  // bytes of the track chunk's data on disk
    long endMarkerAt_ = 0;      // where the track's end marker starts on disk
};

}  // namespace glassfalls::platform
