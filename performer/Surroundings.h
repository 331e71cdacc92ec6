// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace glassfalls {

class MidiOut;
class RipplePool;

// Milliseconds between two scene advances: the title's pace, the performance's, and the
// slower pace while a performance closes.
inline constexpr uint32_t kTitleFrameInterval = 75;
inline constexpr uint32_t kPerformanceFrameInterval = 100;
inline constexpr uint32_t kClosingFrameInterval = 115;

// What a performer reaches of the world it stands in. Implemented by the world, which
// outlives the performers; called on the main thread during a frame.
class Surroundings {
public:
    virtual ~Surroundings() = default;

    virtual RipplePool& waterRipples() = 0;
    // Null when no MIDI output was set up.
    virtual MidiOut* midiOutput() = 0;
    // Sets the pace of the scene advances (one of the intervals above).
    virtual void setFrameInterval(uint32_t milliseconds) = 0;
};

}  // namespace glassfalls
