// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace glassfalls {

// A note an instrument plays in a frame, as the performers hear it.
struct PlayedNote {
    uint8_t key = 0;       // 0 … 127, as played
    uint8_t velocity = 0;  // 1 … 127
    friend bool operator==(const PlayedNote&, const PlayedNote&) = default;
};

// The note of the piece's scale a played key is heard as: moved by whole octaves into
// C4 … B4 (60 … 71), except that C5 (72) itself stays; a black key is heard as the white key
// below it. Always one of 60, 62, 64, 65, 67, 69, 71, 72.
int32_t scaleNoteForKey(int32_t key);

// How loud a played note is heard: its velocity over 127, raised to 0.45 as a sung note's
// level is.
float levelForVelocity(uint8_t velocity);

// What an instrument holds, kept from its note messages and read once a frame. Main thread
// only.
class HeldNotes {
public:
    // Velocity 0 lets the key go, as MIDI's note-on of velocity 0 does.
    void press(uint8_t channel, uint8_t key, uint8_t velocity);
    void release(uint8_t channel, uint8_t key);
    // The note heard this frame: the newest pressed since the last frame or still held (each
    // channel's keys count apart), so a key pressed and let go within one frame is heard for
    // that frame, as a key tap is; none: silence.
    std::optional<PlayedNote> takeFrame();

private:
    struct Held {
        uint8_t channel, key, velocity;
        uint64_t pressed;  // which press it was
    };
    std::vector<Held> held_;      // oldest first
    std::optional<Held> newest_;  // the last press since the last frame, held or not
    uint64_t presses_ = 0;
};

}  // namespace glassfalls
