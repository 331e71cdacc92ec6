// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace glassfalls::platform {

// A key pressed or let go on a played instrument.
struct MidiKey {
    uint8_t channel = 0;   // 0 … 15
    uint8_t key = 0;       // 0 … 127
    uint8_t velocity = 0;  // 1 … 127 pressed; 0 let go
    friend bool operator==(const MidiKey&, const MidiKey&) = default;
};

// Where an instrument's notes come from as they are played (a keyboard on the MIDI
// sequencer). Reading never waits. Main thread only.
class MidiInput {
public:
    virtual ~MidiInput() = default;
    // The keys pressed and let go since the last call, oldest first, added to `keys`.
    virtual void read(std::vector<MidiKey>& keys) = 0;
    // A short description of where the notes come from, for messages to the user.
    virtual std::string name() const = 0;
    // True once the instrument has gone (its device unplugged, its program ended).
    virtual bool lost() const { return false; }
};

}  // namespace glassfalls::platform
