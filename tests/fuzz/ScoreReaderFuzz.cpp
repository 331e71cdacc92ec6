// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary text to the melody reader, as a file that stays the same between its two
// passes and as one cut short in between: it must never store more entries than whole
// groups, nor read outside the bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "trail/Score.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> whole(data, size);
    const std::span<const uint8_t> cut(data, size / 2);
    size_t lineFeeds = 0;
    for (size_t i = 0; i < size; ++i) lineFeeds += data[i] == '\n';
    for (const auto& second : {whole, cut}) {
        const auto score = glassfalls::readScore(whole, second);
        if (!score) continue;
        if (score->entries.size() > lineFeeds / 4 || score->count != static_cast<int32_t>(score->entries.size())) {
            std::abort();
        }
    }
    return 0;
}
