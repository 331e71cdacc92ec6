// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "app/FrameInput.h"

using namespace glassfalls;

namespace {

FrameInput everything() {
    FrameInput input;
    input.setDown(platform::Key::Enter, true);
    input.setDown(platform::Key::Right, true);
    platform::MicrophoneBlock& block = input.microphone.emplace();
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<int16_t>(i * 97 - 32768);
    block[1] = 32767;
    block[2] = -1;
    input.instrument = true;
    input.played = PlayedNote{61, 100};
    input.picture.resize(128 * 128 * 3);
    for (size_t i = 0; i < input.picture.size(); ++i) input.picture[i] = static_cast<uint8_t>(i * 31);
    return input;
}

}  // namespace

TEST(FrameInput, WrittenAndReadBackByteForByte) {
    FrameInput keysOnly;
    keysOnly.setDown(platform::Key::Escape, true);
    FrameInput silentInstrument;
    silentInstrument.instrument = true;
    for (const FrameInput& input : {FrameInput{}, keysOnly, silentInstrument, everything()}) {
        const std::vector<uint8_t> bytes = encodeFrameInput(input);
        const auto read = decodeFrameInput(bytes);
        ASSERT_TRUE(read) << read.error();
        EXPECT_EQ(*read, input);
        EXPECT_EQ(encodeFrameInput(*read), bytes);
    }
    EXPECT_TRUE(keysOnly.isDown(platform::Key::Escape));
    EXPECT_FALSE(keysOnly.isDown(platform::Key::Enter));
    // The layout is the same on every machine: a block's samples little-endian after the
    // format, key and flag bytes.
    const std::vector<uint8_t> bytes = encodeFrameInput(everything());
    EXPECT_EQ(bytes[1], 0b1010);
    EXPECT_EQ(bytes[3], 0x00);  // -32768
    EXPECT_EQ(bytes[4], 0x80);
    EXPECT_EQ(bytes[5], 0xFF);  // 32767
    EXPECT_EQ(bytes[6], 0x7F);
}

TEST(FrameInput, RefusesBytesItCannotReadWithoutReadingPastThem) {
    const std::vector<uint8_t> whole = encodeFrameInput(everything());
    auto changed = [&](size_t at, uint8_t value) {
        std::vector<uint8_t> bytes = whole;
        bytes[at] = value;
        return bytes;
    };
    const std::vector<uint8_t> pictureSizeTooLarge = changed(3 + 1600 + 2 + 3, 0x7F);
    for (const std::vector<uint8_t>& bytes :
         {std::vector<uint8_t>{}, std::vector<uint8_t>(whole.begin(), whole.begin() + 100),
          std::vector<uint8_t>(whole.begin(), whole.end() - 1), changed(0, 1), changed(1, 0x10), changed(2, 0x0D),
          changed(2, 0x05), changed(3 + 1600, 0x80), changed(3 + 1600 + 1, 0), pictureSizeTooLarge}) {
        EXPECT_FALSE(decodeFrameInput(bytes)) << bytes.size();
    }
}
