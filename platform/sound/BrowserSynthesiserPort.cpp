// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sound/MidiPort.h"

// In BrowserSynthesiser.js, linked with the page's program.
extern "C" {
void glassfallsStartBrowserSynthesiser();
void glassfallsPlayOnBrowserSynthesiser(uint32_t message);
}

namespace glassfalls::platform {

namespace {

class BrowserSynthesiserPort final : public MidiPort {
public:
    BrowserSynthesiserPort() { glassfallsStartBrowserSynthesiser(); }
    void shortMessage(uint32_t message) override { glassfallsPlayOnBrowserSynthesiser(message); }
    std::string name() const override { return "the built-in synthesiser"; }
};

}  // namespace

std::unique_ptr<MidiPort> openBrowserSynthesiser() { return std::make_unique<BrowserSynthesiserPort>(); }

}  // namespace glassfalls::platform
