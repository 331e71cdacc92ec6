// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "performer/Hearing.h"
#include "performer/MidiOut.h"
#include "performer/Surroundings.h"
#include "platform/sound/MidiPort.h"
#include "trail/RipplePool.h"

namespace glassfalls::test_support {

// A world for performers alone: a real analyser for what they hear, a real ripple pool, a
// MIDI output on the given port, and the frame interval the performers last asked for.
class TestSurroundings final : public Surroundings {
public:
    // Shared with the benchmarks, which have no test framework: what cannot be set up ends
    // the program, saying why.
    explicit TestSurroundings(std::unique_ptr<platform::MidiPort> port) {
        for (const auto& made : {heard.init(), ripples.init(), midi.open(std::move(port))}) {
            if (made) continue;
            std::fprintf(stderr, "TestSurroundings: %s\n", made.error().c_str());
            std::abort();
        }
    }

    RipplePool& waterRipples() override { return ripples; }
    MidiOut* midiOutput() override { return &midi; }
    void setFrameInterval(uint32_t milliseconds) override { frameInterval = milliseconds; }

    Hearing heard;
    RipplePool ripples;
    MidiOut midi;
    uint32_t frameInterval = kPerformanceFrameInterval;
};

}  // namespace glassfalls::test_support
