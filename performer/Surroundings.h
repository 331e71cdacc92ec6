#pragma once

#include <array>
#include <cstdint>

namespace glassfalls {

class MidiOut;
class RipplePool;
class SpectrumAnalyser;

// Milliseconds between two scene advances: the title's pace, the performance's, and the
// slower pace while a performance closes.
inline constexpr uint32_t kTitleFrameInterval = 75;
inline constexpr uint32_t kPerformanceFrameInterval = 100;
inline constexpr uint32_t kClosingFrameInterval = 115;

// The last microphone block: 800 signed 16-bit samples in the first 1600 bytes; the rest
// stays zero so that the 1024-point analysis sees silence past the block.
using MicrophoneBlock = std::array<uint8_t, 3200>;

// What a performer reaches of the world it stands in. Implemented by the world, which
// outlives the performers; called on the main thread during a frame.
class Surroundings {
public:
    virtual ~Surroundings() = default;

    virtual RipplePool& waterRipples() = 0;
    virtual const MicrophoneBlock& microphoneBlock() const = 0;
    virtual SpectrumAnalyser& analyser() = 0;
    // Null when no MIDI output was set up.
    virtual MidiOut* midiOutput() = 0;
    // Whether Enter is down or was pressed since the last call.
    virtual bool enterPressed() = 0;
    // Sets the pace of the scene advances (one of the intervals above).
    virtual void setFrameInterval(uint32_t milliseconds) = 0;
};

}  // namespace glassfalls
