#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace glassfalls::platform {

// The sound of a WAV file (any rate, channel count and sample format SDL reads) converted to
// `channels` interleaved channels at `rate` in SDL's audio `format`, as bytes. False with
// the reason when the file cannot be read or converted.
bool readWavAs(const std::string& path, uint16_t format, int channels, int rate, std::vector<uint8_t>& sound,
               std::string& error);

}  // namespace glassfalls::platform
