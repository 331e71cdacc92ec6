// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <deque>

#include "app/MidiInputInstrument.h"

namespace glassfalls {
namespace {

// A keyboard the test plays and unplugs.
struct Keyboard {
    std::deque<platform::MidiKey> played;
    bool unplugged = false;
};

class ScriptedInput final : public platform::MidiInput {
public:
    explicit ScriptedInput(Keyboard& keyboard) : keyboard_(keyboard) {}
    void read(std::vector<platform::MidiKey>& keys) override {
        keys.insert(keys.end(), keyboard_.played.begin(), keyboard_.played.end());
        keyboard_.played.clear();
    }
    std::string name() const override { return "ALSA port Keystation"; }
    bool lost() const override { return keyboard_.unplugged; }

private:
    Keyboard& keyboard_;
};

constexpr PlayedNote kG4{67, 100};

// Keys held into the performance are heard there, taps outside it are not; a keyboard
// unplugged with a key down lets it go and is said once; plugged in again, it plays again.
TEST(MidiInputInstrument, AKeyboardIsHeardUntilItGoesAndAgainWhenItIsBack) {
    Keyboard keyboard;
    int opens = 0;
    auto open = [&]() -> platform::Expected<std::unique_ptr<platform::MidiInput>> {
        ++opens;
        if (keyboard.unplugged) return platform::failure("no ALSA MIDI port called Keystation");
        return std::make_unique<ScriptedInput>(keyboard);
    };
    uint32_t now = 0;
    MidiInputInstrument instrument(open, std::make_unique<ScriptedInput>(keyboard), now);

    keyboard.played = {{0, 60, 90}, {0, 60, 0}, {0, 67, 100}};
    instrument.offstage(now += 100);
    EXPECT_EQ(instrument.frame(now += 100), kG4) << "the held key, not the tap before the performance";
    EXPECT_EQ(instrument.frame(now += 100), kG4);

    keyboard.unplugged = true;
    testing::internal::CaptureStderr();
    EXPECT_EQ(instrument.frame(now += 100), std::nullopt) << "the key held when it went is let go";
    for (int frame = 0; frame < 40; ++frame) EXPECT_EQ(instrument.frame(now += 100), std::nullopt);
    EXPECT_GE(opens, 1) << "tried again while it is gone";
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "glassfalls: ALSA port Keystation is gone; the performers hear silence until it is back\n");

    keyboard.unplugged = false;
    testing::internal::CaptureStderr();
    now += MidiInputInstrument::kRetryMs;
    keyboard.played = {{3, 72, 127}};
    EXPECT_EQ(instrument.frame(now), (PlayedNote{72, 127}));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "glassfalls: ALSA port Keystation is back\n");
}

}  // namespace
}  // namespace glassfalls
