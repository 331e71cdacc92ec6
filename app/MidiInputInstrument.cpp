// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MidiInputInstrument.h"

namespace glassfalls {

MidiInputInstrument::MidiInputInstrument(Opener opener, std::unique_ptr<platform::MidiInput> input, uint32_t now)
    : name_(input->name()),
      input_(std::move(opener), std::move(input),
             platform::Reconnection(name_ + " is gone; the performers hear silence until it is back",
                                    name_ + " is back", kRetryMs, now)) {}

void MidiInputInstrument::readKeys(uint32_t now) {
    platform::MidiInput* input = input_.keep(now);
    // Keys held when the instrument went are never let go by it.
    if (!input) {
        held_ = {};
        return;
    }
    keys_.clear();
    input->read(keys_);
    for (const platform::MidiKey& key : keys_) held_.press(key.channel, key.key, key.velocity);
}

std::optional<PlayedNote> MidiInputInstrument::frame(uint32_t now) {
    readKeys(now);
    return held_.takeFrame();
}

void MidiInputInstrument::offstage(uint32_t now) {
    readKeys(now);
    held_.takeFrame();
}

}  // namespace glassfalls
