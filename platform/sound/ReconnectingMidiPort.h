// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/os/Reconnection.h"
#include "platform/sound/MidiPort.h"

namespace glassfalls::platform {

class Clock;

// A MIDI output that may go away while the piece runs (a synthesiser program restarting, a
// device unplugged): while it is gone its notes are dropped, and every kRetryMs of the
// program's clock, at a frame's flush, it is opened again. Each change is said once.
class ReconnectingMidiPort final : public MidiPort {
public:
    using Opener = Reconnecting<MidiPort>::Opener;
    static constexpr uint32_t kRetryMs = 3000;

    ReconnectingMidiPort(Opener opener, std::unique_ptr<MidiPort> port, Clock& clock);

    void shortMessage(uint32_t message) override;
    void flush() override;
    std::string name() const override { return name_; }
    bool connected() const { return port_.get() != nullptr; }

private:
    Clock& clock_;
    std::string name_;
    Reconnecting<MidiPort> port_;
};

}  // namespace glassfalls::platform
