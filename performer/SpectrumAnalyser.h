// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "performer/Fft.h"

namespace glassfalls {

// How loud each frequency is in the latest microphone block, as attenuation below a
// full-scale sine: 0 at full scale, 40 per factor of ten quieter, never above the floor.
// One analyser serves all performers; main thread only.
class SpectrumAnalyser {
public:
    platform::Expected<void> init(int n);

    // Hann-windowed transform of `samples` into levels; samples past their end, up to N,
    // count as silence. Allocates nothing.
    bool analyse(std::span<const int16_t> samples, float floor);

    int size() const { return size_; }

    Fft fft;
    std::vector<float> levels;  // entries 0 … N/2 - 1 after analyse: level of bin k, ≤ floor

private:
    int size_ = 0;
    std::vector<float> window_;
    std::vector<float> work_;  // interleaved complex
};

}  // namespace glassfalls
