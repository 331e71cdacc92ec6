// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/InstrumentSource.h"
#include "performer/Instrument.h"
#include "platform/os/Reconnection.h"
#include "platform/sound/MidiInput.h"

namespace glassfalls {

// An instrument played live into a MIDI input (a keyboard on the sequencer). When it goes
// away its keys are let go and the performers hear silence; every kRetryMs of the program's
// clock it is opened again. Each change is said once. Main thread only.
class MidiInputInstrument final : public InstrumentSource {
public:
    using Opener = platform::Reconnecting<platform::MidiInput>::Opener;
    static constexpr uint32_t kRetryMs = 3000;

    // `input`: the one opened at start-up.
    MidiInputInstrument(Opener opener, std::unique_ptr<platform::MidiInput> input, uint32_t now);

    std::optional<PlayedNote> frame(uint32_t now) override;
    void offstage(uint32_t now) override;

private:
    void readKeys(uint32_t now);

    std::string name_;
    platform::Reconnecting<platform::MidiInput> input_;
    HeldNotes held_;
    std::vector<platform::MidiKey> keys_;
};

}  // namespace glassfalls
