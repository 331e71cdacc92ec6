// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

#include "performer/Instrument.h"

namespace glassfalls {

// An instrument the performers hear in place of the microphone. Asked once a performance
// frame, on the main thread.
class InstrumentSource {
public:
    virtual ~InstrumentSource() = default;
    // The note heard in the frame at `now` on the program's clock; none: silence.
    virtual std::optional<PlayedNote> frame(uint32_t now) = 0;
    // A frame outside a performance at `now`: a played instrument keeps up with the keys
    // held, so that one held into the performance is heard there, and forgets the taps.
    virtual void offstage(uint32_t now) { (void)now; }
    // True once it has nothing more to play (a file played to its end).
    virtual bool finished() const { return false; }
};

// Notes played from outside as they come (show control's /glassfalls/note).
class LiveInstrument final : public InstrumentSource {
public:
    std::optional<PlayedNote> frame(uint32_t) override { return notes.takeFrame(); }
    void offstage(uint32_t) override { notes.takeFrame(); }
    HeldNotes notes;
};

}  // namespace glassfalls
