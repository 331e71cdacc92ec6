// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "performer/Instrument.h"
#include "platform/input/Keyboard.h"
#include "platform/os/Expected.h"
#include "platform/sound/CaptureSource.h"

namespace glassfalls {

// Everything from outside the piece that one scene advance reads, gathered once just before
// it: the same value gives the same advance on any machine. Show control's requests reach the
// piece as key presses, so they are in the keys.
struct FrameInput {
    // The keys as the advance sees them, a bit per platform::Key: held, or tapped since the
    // advance before (a tap shorter than a frame counts once, as it does at the keyboard).
    uint8_t keysDown = 0;
    // The microphone block that came since the advance before, if one did; the performers
    // go on hearing the last one until another comes.
    std::optional<platform::MicrophoneBlock> microphone;
    // The picture server's newest picture since the advance before (128 x 128 RGB, row 0
    // first); empty when none came.
    std::vector<uint8_t> picture;
    // An instrument plays in place of the microphone; `played` is what the performers hear
    // of it this advance (see HeldNotes), none for silence.
    bool instrument = false;
    std::optional<PlayedNote> played;

    bool isDown(platform::Key key) const { return (keysDown >> static_cast<int>(key)) & 1u; }
    void setDown(platform::Key key, bool down);

    bool operator==(const FrameInput&) const = default;
};

// The keys `keys` shows for this advance.
uint8_t keysDownOf(const platform::Keyboard& keys);

// A frame's input as bytes and back, the same bytes on every machine (little-endian, no
// padding), so that it can be stored or sent to another machine.
std::vector<uint8_t> encodeFrameInput(const FrameInput& input);
platform::Expected<FrameInput> decodeFrameInput(std::span<const uint8_t> bytes);

}  // namespace glassfalls
