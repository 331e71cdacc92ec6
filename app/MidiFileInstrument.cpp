// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MidiFileInstrument.h"

#include <utility>

#include "platform/os/Clock.h"

namespace glassfalls {

platform::Expected<MidiFileInstrument> MidiFileInstrument::load(const std::string& path) {
    auto notes = platform::loadMidiFile(path);
    if (!notes) return platform::Failure{notes.error()};
    MidiFileInstrument instrument;
    instrument.notes_ = std::move(*notes);
    return instrument;
}

std::optional<PlayedNote> MidiFileInstrument::frame(uint32_t now) {
    if (!started_) {
        started_ = true;
        start_ = now;
    }
    // In whole milliseconds of the program's clock, which may wrap.
    const auto elapsed = static_cast<uint32_t>(platform::ticksUntil(start_, now));
    for (; next_ < notes_.size() && notes_[next_].ms <= elapsed; ++next_) {
        const platform::MidiNoteEvent& note = notes_[next_];
        held_.press(note.channel, note.key, note.velocity);
    }
    return held_.takeFrame();
}

}  // namespace glassfalls
