// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <vector>

#include "platform/os/Clock.h"
#include "platform/sound/ReconnectingMidiPort.h"

namespace glassfalls::platform {
namespace {

// A destination that keeps what it receives until it is unplugged.
class ScriptedPort final : public MidiPort {
public:
    ScriptedPort(const bool& gone, std::vector<uint32_t>& received) : gone_(gone), received_(received) {}
    void shortMessage(uint32_t message) override {
        if (!gone_) received_.push_back(message);
    }
    std::string name() const override { return "ALSA port synth:0"; }
    bool lost() const override { return gone_; }

private:
    const bool& gone_;
    std::vector<uint32_t>& received_;
};

// Gone: notes dropped without waiting, said once; back: connected again at a frame's flush.
TEST(ReconnectingMidiPort, AnOutputThatGoesAwayIsConnectedAgainWhenItIsBack) {
    bool gone = false;
    int opens = 0;
    std::vector<uint32_t> received;
    auto open = [&]() -> Expected<std::unique_ptr<MidiPort>> {
        ++opens;
        if (gone) return failure("gone");
        return std::make_unique<ScriptedPort>(gone, received);
    };
    VirtualClock clock;
    ReconnectingMidiPort port(open, std::make_unique<ScriptedPort>(gone, received), clock);
    port.shortMessage(0x403C90);
    port.flush();

    gone = true;
    testing::internal::CaptureStderr();
    clock.advance(100);
    port.flush();
    port.shortMessage(0x403E90);
    clock.advance(3000);
    port.flush();
    EXPECT_EQ(opens, 1) << "tried again after three seconds";
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "glassfalls: ALSA port synth:0 is gone; its notes are dropped until it is back\n");

    gone = false;
    testing::internal::CaptureStderr();
    clock.advance(3000);
    port.flush();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "glassfalls: ALSA port synth:0 is back\n");
    port.shortMessage(0x404090);
    EXPECT_EQ(received, (std::vector<uint32_t>{0x403C90, 0x404090})) << "the note sent while gone was dropped";
}

}  // namespace
}  // namespace glassfalls::platform
