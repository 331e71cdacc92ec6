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

// A voice as the band table hears a sung one: a note with two overtones and a slight
// vibrato, or silence for frequency 0, appended note by note.
struct SungVoice {
    int rate = 16000;
    std::vector<int16_t> samples;
    double t = 0;
    void sing(double frequency, double seconds) {
        for (int i = 0; i < static_cast<int>(seconds * rate); ++i, t += 1.0 / rate) {
            const double vibrato = 1 + 0.004 * std::sin(2 * M_PI * 5.5 * t);
            const double phase = 2 * M_PI * frequency * vibrato * t;
            const double v =
                frequency == 0 ? 0 : 0.35 * std::sin(phase) + 0.12 * std::sin(2 * phase) + 0.05 * std::sin(3 * phase);
            samples.push_back(static_cast<int16_t>(std::lround(v * 32767)));
        }
    }
    // C5, E5, G5, A5 (bins 67, 84, 100, 113: notes 60, 64, 67, 69 of the band table).
    void singPhrase() {
        for (const double note : {523.25, 659.25, 783.99, 880.0}) sing(note, 0.8);
    }
};

}  // namespace glassfalls::test_support
