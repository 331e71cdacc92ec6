// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FrameInput.h"

#include <string>

#include "platform/os/ByteStream.h"
#include "platform/os/LittleEndian.h"

namespace glassfalls {

namespace {

// The layout's version: a reader refuses bytes of another one rather than misread them.
constexpr uint8_t kFormat = 2;
constexpr uint8_t kHasMicrophone = 1;
constexpr uint8_t kInstrumentPlays = 2;
constexpr uint8_t kInstrumentSounds = 4;  // its key and velocity follow the microphone block
constexpr uint8_t kKnownFlags = kHasMicrophone | kInstrumentPlays | kInstrumentSounds;
constexpr uint8_t kKnownKeys = 0x0F;

platform::Failure malformed(const std::string& why) { return platform::failure("a frame's input " + why); }

}  // namespace

void FrameInput::setDown(platform::Key key, bool down) {
    const auto bit = static_cast<uint8_t>(1u << static_cast<int>(key));
    keysDown = static_cast<uint8_t>(down ? keysDown | bit : keysDown & ~bit);
}

uint8_t keysDownOf(const platform::Keyboard& keys) {
    FrameInput input;
    for (platform::Key key : {platform::Key::Escape, platform::Key::Enter, platform::Key::Left, platform::Key::Right}) {
        input.setDown(key, keys.isDown(key));
    }
    return input.keysDown;
}

std::vector<uint8_t> encodeFrameInput(const FrameInput& input) {
    std::vector<uint8_t> out;
    out.reserve(3 + platform::kBlockBytes + 4 + input.picture.size());
    out.push_back(kFormat);
    out.push_back(input.keysDown);
    const bool sounds = input.instrument && input.played;
    out.push_back(static_cast<uint8_t>((input.microphone ? kHasMicrophone : 0) |
                                       (input.instrument ? kInstrumentPlays : 0) | (sounds ? kInstrumentSounds : 0)));
    if (input.microphone) {
        for (int16_t sample : *input.microphone) platform::putLittleEndian(out, static_cast<uint16_t>(sample), 2);
    }
    if (sounds) {
        out.push_back(input.played->key);
        out.push_back(input.played->velocity);
    }
    platform::putLittleEndian(out, static_cast<uint32_t>(input.picture.size()), 4);
    out.insert(out.end(), input.picture.begin(), input.picture.end());
    return out;
}

platform::Expected<FrameInput> decodeFrameInput(std::span<const uint8_t> bytes) {
    platform::ByteReader in(bytes);
    FrameInput input;
    uint8_t format = 0, flags = 0;
    if (!in.u8(format) || !in.u8(input.keysDown) || !in.u8(flags)) return malformed("is cut short");
    if (format != kFormat)
        return malformed("is in format " + std::to_string(format) + ", not " + std::to_string(kFormat));
    if ((input.keysDown & ~kKnownKeys) != 0 || (flags & ~kKnownFlags) != 0) return malformed("has unknown bits");
    if ((flags & kInstrumentSounds) && !(flags & kInstrumentPlays))
        return malformed("has an instrument's note without an instrument");
    if (flags & kHasMicrophone) {
        std::span<const uint8_t> samples;
        if (!in.take(platform::kBlockBytes, samples)) return malformed("is cut short in its microphone block");
        platform::MicrophoneBlock& block = input.microphone.emplace();
        for (size_t i = 0; i < block.size(); ++i) {
            block[i] = static_cast<int16_t>(static_cast<uint16_t>(samples[2 * i] | samples[2 * i + 1] << 8));
        }
    }
    input.instrument = (flags & kInstrumentPlays) != 0;
    if (flags & kInstrumentSounds) {
        PlayedNote& played = input.played.emplace();
        if (!in.u8(played.key) || !in.u8(played.velocity)) return malformed("is cut short in its instrument's note");
        if (played.key > 127 || played.velocity == 0 || played.velocity > 127)
            return malformed("has an instrument's note out of MIDI's range");
    }
    uint32_t pictureBytes = 0;
    if (!in.u32(pictureBytes)) return malformed("is cut short before its picture");
    // The size is checked against what is there before anything is allocated for it.
    if (pictureBytes != in.left())
        return malformed("says its picture has " + std::to_string(pictureBytes) + " bytes where " +
                         std::to_string(in.left()) + " follow");
    std::span<const uint8_t> picture;
    (void)in.take(pictureBytes, picture);
    input.picture.assign(picture.begin(), picture.end());
    return input;
}

}  // namespace glassfalls
