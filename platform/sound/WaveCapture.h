// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "platform/sound/CaptureSource.h"

namespace glassfalls::platform {

// The microphone as the piece hears it: one 100 ms block at a time, taken on the main thread
// between frames.
class WaveCapture {
public:
    // Starts listening to `source`. Without a source no block ever arrives.
    void open(std::unique_ptr<CaptureSource> source) { source_ = std::move(source); }

    // Main thread, once per loop pass: the next block into `block` when one is ready at `now`.
    bool collect(uint32_t now, MicrophoneBlock& block);

    // When the source will next have a block, if it follows the program's clock.
    std::optional<uint32_t> nextBlockDue() const;

private:
    std::unique_ptr<CaptureSource> source_;
};

}  // namespace glassfalls::platform
