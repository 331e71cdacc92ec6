// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sound/MidiPort.h"

// In BrowserMidi.js, linked with the page's program.
extern "C" {
void glassfallsOpenWebMidi(const char* name);
void glassfallsSendWebMidi(uint32_t message);
}

namespace glassfalls::platform {

namespace {

class WebMidiPort final : public MidiPort {
public:
    explicit WebMidiPort(std::string name) : name_(std::move(name)) { glassfallsOpenWebMidi(name_.c_str()); }
    void shortMessage(uint32_t message) override { glassfallsSendWebMidi(message); }
    std::string name() const override { return "the Web MIDI output " + name_; }

private:
    std::string name_;
};

}  // namespace

std::unique_ptr<MidiPort> openWebMidiPort(const std::string& name) { return std::make_unique<WebMidiPort>(name); }

}  // namespace glassfalls::platform
