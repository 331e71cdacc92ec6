// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>

#include "performer/SpectrumAnalyser.h"
#include "platform/os/ByteStream.h"
#include "platform/sound/CaptureSource.h"

namespace glassfalls {

// What the performers hear: the latest microphone block and its spectrum, analysed once per
// block however many performers ask (each of the eight asks every frame). Main thread only.
class Hearing {
public:
    // Points of the analysis: the block's 800 samples, then silence.
    static constexpr int kSpectrumSize = 1024;
    // Levels never fall below this (see SpectrumAnalyser).
    static constexpr float kSpectrumFloor = 480.0f;

    platform::Expected<void> init() { return analyser_.init(kSpectrumSize); }

    // What is heard from now on; silence until the first block.
    void hear(const platform::MicrophoneBlock& block) {
        block_ = block;
        analysed_ = false;
    }
    const platform::MicrophoneBlock& block() const { return block_; }
    // What is heard, for another machine to hear the same; its spectrum follows from it.
    void saveState(platform::ByteWriter& out) const {
        for (int16_t sample : block_) out.u32(static_cast<uint16_t>(sample));
    }
    void loadState(platform::ByteReader& in) {
        for (int16_t& sample : block_) {
            uint32_t bits = 0;
            in.u32(bits);
            if (bits > 0xFFFF) in.fail("has a microphone sample out of range");
            sample = static_cast<int16_t>(static_cast<uint16_t>(bits));
        }
        analysed_ = false;
    }
    // Level of each bin 0 … kSpectrumSize / 2 - 1 of the block.
    std::span<const float> levels();

private:
    SpectrumAnalyser analyser_;
    platform::MicrophoneBlock block_{};
    bool analysed_ = false;
};

}  // namespace glassfalls
