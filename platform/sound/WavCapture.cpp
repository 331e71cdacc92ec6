// SPDX-License-Identifier: GPL-3.0-or-later
#include <SDL.h>

#include <cstring>
#include <vector>

#include "platform/sound/CaptureSource.h"
#include "platform/sound/WavSound.h"

namespace glassfalls::platform {

Expected<std::unique_ptr<CaptureSource>> openWavCapture(const std::string& path, uint32_t start) {
    const auto bytes = readWavAs(path, AUDIO_S16SYS, 1, kCaptureRate);
    if (!bytes) return failure(bytes.error());
    std::vector<int16_t> samples(bytes->size() / sizeof(int16_t));
    std::memcpy(samples.data(), bytes->data(), samples.size() * sizeof(int16_t));
    return makeClockedCapture(std::move(samples), start);
}

}  // namespace glassfalls::platform
