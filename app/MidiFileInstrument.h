// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/InstrumentSource.h"
#include "performer/Instrument.h"
#include "platform/os/Expected.h"
#include "platform/sound/MidiFileReader.h"

namespace glassfalls {

// A Standard MIDI File played into the piece as an instrument, on the program's clock from
// the first frame it is asked for, so that a headless run of a song is the same every time.
// Main thread only.
class MidiFileInstrument final : public InstrumentSource {
public:
    // Fails naming the file and what is wrong with it.
    static platform::Expected<MidiFileInstrument> load(const std::string& path);

    // The note the performers hear in the frame at `now`: the file's notes up to then are
    // played first. The first call is the file's start.
    std::optional<PlayedNote> frame(uint32_t now) override;
    // True once every note of the file has been played (from the second call on).
    bool finished() const override { return started_ && next_ >= notes_.size(); }

private:
    std::vector<platform::MidiNoteEvent> notes_;
    size_t next_ = 0;
    bool started_ = false;
    uint32_t start_ = 0;
    HeldNotes held_;
};

}  // namespace glassfalls
