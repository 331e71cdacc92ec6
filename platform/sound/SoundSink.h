// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>

namespace glassfalls::platform {

// The rate of the built-in synthesiser's sound, in frames a second, wherever it goes.
inline constexpr double kSynthesiserRate = 44100.0;

// Where sound goes as it is made: stereo, in order, at the rate its maker names.
class SoundSink {
public:
    virtual ~SoundSink() = default;
    virtual void sound(const float* left, const float* right, size_t count) = 0;
};

}  // namespace glassfalls::platform
