#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

#include "platform/audio/CaptureSource.h"

namespace glassfalls {

// The microphone as the piece hears it: one 100 ms block at a time, handed over to the world
// on the main thread between frames.
class WaveCapture {
public:
    // Starts listening to `source`. Without a source no block ever arrives.
    void open(std::unique_ptr<platform::CaptureSource> source) { source_ = std::move(source); }

    // Main thread, once per loop pass: true when a new block waits in the capture buffer for
    // its hand-over (the caller then posts the capture-block message).
    bool collect(uint32_t now);

    // The hand-over, run for the capture-block message: copies the block into `micSamples`
    // (its first kBlockBytes bytes; the rest is left alone) and gives the buffer back.
    void handOver(uint8_t* micSamples);

    // Hands the buffer back so that the next block can be collected.
    void requeue() { bufferWithProgram_ = false; }

    // When the source will next have a block, if it follows the program's clock.
    std::optional<uint32_t> nextBlockDue() const;

private:
    std::unique_ptr<platform::CaptureSource> source_;
    std::array<int16_t, 1600> samples_{};  // the capture buffer; blocks fill its first half
    bool bufferWithProgram_ = false;
    bool blockHandlerReady_ = true;        // guards the hand-over against re-entry
};

}  // namespace glassfalls
