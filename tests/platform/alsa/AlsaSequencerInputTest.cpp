// SPDX-License-Identifier: GPL-3.0-or-later
#include <alsa/asoundlib.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/alsa/AlsaSequencer.h"

namespace glassfalls::platform {
namespace {

// A keyboard of the test's own on the sequencer: a client with a port others read from.
class TestKeyboard {
public:
    TestKeyboard() {
        if (snd_seq_open(&seq_, "default", SND_SEQ_OPEN_OUTPUT, 0) < 0) {
            seq_ = nullptr;
            return;
        }
        snd_seq_set_client_name(seq_, "glassfalls test keys");
        port_ = snd_seq_create_simple_port(seq_, "keys", SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ,
                                           SND_SEQ_PORT_TYPE_MIDI_GENERIC);
    }
    ~TestKeyboard() { unplug(); }
    TestKeyboard(const TestKeyboard&) = delete;
    TestKeyboard& operator=(const TestKeyboard&) = delete;

    bool there() const { return seq_ && port_ >= 0; }
    void play(uint8_t channel, uint8_t key, uint8_t velocity) {
        snd_seq_event_t event;
        snd_seq_ev_clear(&event);
        snd_seq_ev_set_noteon(&event, channel, key, velocity);
        snd_seq_ev_set_source(&event, static_cast<unsigned char>(port_));
        snd_seq_ev_set_subs(&event);
        snd_seq_ev_set_direct(&event);
        snd_seq_event_output_direct(seq_, &event);
    }
    void unplug() {
        if (seq_) snd_seq_close(seq_);
        seq_ = nullptr;
    }

private:
    snd_seq_t* seq_ = nullptr;
    int port_ = -1;
};

// Reads until `count` keys have come, as a frame after frame would.
std::vector<MidiKey> readKeys(MidiInput& input, size_t count) {
    std::vector<MidiKey> keys;
    for (int tries = 0; tries < 1000 && keys.size() < count; ++tries) {
        input.read(keys);
        if (keys.size() < count) usleep(1000);
    }
    return keys;
}

// The real sequencer: a port found by its client's name prefix, its keys read (a note-on of
// velocity 0 as a key let go), and lost when its client goes; a name that is not there is
// refused naming the ports that are.
TEST(AlsaSequencerInput, AKeyboardIsReadUntilItsClientGoes) {
    quietenAlsaDiagnostics();
    TestKeyboard keyboard;
    if (!keyboard.there()) GTEST_SKIP() << "this machine has no ALSA sequencer (/dev/snd/seq)";

    const auto missing = openAlsaInput("no such keyboard");
    ASSERT_FALSE(missing);
    EXPECT_NE(missing.error().find("no ALSA MIDI port called no such keyboard; the ports that can play are: "),
              std::string::npos)
        << missing.error();
    EXPECT_NE(missing.error().find("glassfalls test keys / keys"), std::string::npos) << missing.error();
    const auto listed = listAlsaInputs();
    EXPECT_TRUE(std::ranges::any_of(listed, [](const std::string& p) { return p.find("glassfalls test") != p.npos; }));

    auto input = openAlsaInput("glassfalls test");
    ASSERT_TRUE(input) << input.error();
    EXPECT_FALSE((*input)->lost());
    keyboard.play(2, 67, 100);
    keyboard.play(2, 67, 0);
    EXPECT_EQ(readKeys(**input, 2), (std::vector<MidiKey>{{2, 67, 100}, {2, 67, 0}}));

    keyboard.unplug();
    EXPECT_TRUE((*input)->lost());
}

}  // namespace
}  // namespace glassfalls::platform
