// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/sound/MidiPort.h"

namespace glassfalls::test_support {

// Keeps every message sent, as (status, data1, data2).
class RecordingMidiPort final : public platform::MidiPort {
public:
    struct Message {
        uint8_t status, data1, data2;
        friend bool operator==(const Message&, const Message&) = default;
    };
    explicit RecordingMidiPort(std::vector<Message>& sent) : sent_(sent) {}
    void shortMessage(uint32_t word) override {
        sent_.push_back(
            {static_cast<uint8_t>(word), static_cast<uint8_t>(word >> 8), static_cast<uint8_t>(word >> 16)});
        EXPECT_EQ(word >> 24, 0u) << "the top byte of a short message is zero";
    }
    std::string name() const override { return "recorder"; }

private:
    std::vector<Message>& sent_;
};

}  // namespace glassfalls::test_support
