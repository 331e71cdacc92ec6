// SPDX-License-Identifier: GPL-3.0-or-later
#include "performer/Instrument.h"

#include <algorithm>
#include <utility>

namespace glassfalls {

int32_t scaleNoteForKey(int32_t key) {
    if (key == 72) return 72;
    const int32_t pitchClass = ((key % 12) + 12) % 12;
    // The white key at or below each pitch class: C C D D E F F G G A A B.
    static constexpr int32_t kWhiteBelow[12] = {0, 0, 2, 2, 4, 5, 5, 7, 7, 9, 9, 11};
    return 60 + kWhiteBelow[pitchClass];
}

float levelForVelocity(uint8_t velocity) {
    const float level = static_cast<float>(velocity) / 127.0f;
    return level < 0.45f ? 0.45f : level;
}

void HeldNotes::press(uint8_t channel, uint8_t key, uint8_t velocity) {
    if (velocity == 0) return release(channel, key);
    release(channel, key);
    held_.push_back({channel, key, velocity, ++presses_});
    newest_ = held_.back();
}

void HeldNotes::release(uint8_t channel, uint8_t key) {
    std::erase_if(held_, [&](const Held& h) { return h.channel == channel && h.key == key; });
}

std::optional<PlayedNote> HeldNotes::takeFrame() {
    const std::optional<Held> newest = std::exchange(newest_, std::nullopt);
    const Held* heard = held_.empty() ? nullptr : &held_.back();
    if (newest && (!heard || newest->pressed > heard->pressed)) heard = &*newest;
    if (!heard) return std::nullopt;
    return PlayedNote{heard->key, heard->velocity};
}

}  // namespace glassfalls
