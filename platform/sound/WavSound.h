// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/os/Expected.h"

namespace glassfalls::platform {

// The sound of a WAV file (any rate, channel count and sample format SDL reads) converted to
// `channels` interleaved channels at `rate` in SDL's audio `format`, as bytes.
Expected<std::vector<uint8_t>> readWavAs(const std::string& path, uint16_t format, int channels, int rate);

}  // namespace glassfalls::platform
