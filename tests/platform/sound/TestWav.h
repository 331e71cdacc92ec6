// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace glassfalls::test_support {

// Writes the samples (interleaved when `channels` > 1) as a 16-bit PCM WAV file.
inline void writeWav(const std::string& path, int rate, int channels, const std::vector<int16_t>& data) {
    const uint32_t bytes = static_cast<uint32_t>(data.size() * 2);
    std::ofstream out(path, std::ios::binary);
    auto u32 = [&](uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    out.write("RIFF", 4);
    u32(36 + bytes);
    out.write("WAVEfmt ", 8);
    u32(16);
    u16(1);
    u16(static_cast<uint16_t>(channels));
    u32(static_cast<uint32_t>(rate));
    u32(static_cast<uint32_t>(rate * channels * 2));
    u16(static_cast<uint16_t>(channels * 2));
    u16(16);
    out.write("data", 4);
    u32(bytes);
    out.write(reinterpret_cast<const char*>(data.data()), bytes);
}

// Writes a 16-bit PCM WAV file holding a sine of `frequency` Hz in every channel.
inline void writeToneWav(const std::string& path, int rate, int channels, double frequency, double seconds,
                         double amplitude = 12000.0) {
    const uint32_t frames = static_cast<uint32_t>(rate * seconds);
    std::vector<int16_t> data;
    for (uint32_t i = 0; i < frames; ++i) {
        const auto v = static_cast<int16_t>(std::lround(amplitude * std::sin(2.0 * M_PI * frequency * i / rate)));
        for (int c = 0; c < channels; ++c) data.push_back(v);
    }
    writeWav(path, rate, channels, data);
}

}  // namespace glassfalls::test_support
