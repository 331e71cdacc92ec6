// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sound/ReconnectingMidiPort.h"

#include "platform/os/Clock.h"

namespace glassfalls::platform {

ReconnectingMidiPort::ReconnectingMidiPort(Opener opener, std::unique_ptr<MidiPort> port, Clock& clock)
    : clock_(clock),
      name_(port->name()),
      port_(std::move(opener), std::move(port),
            Reconnection(name_ + " is gone; its notes are dropped until it is back", name_ + " is back", kRetryMs,
                         clock.now())) {}

void ReconnectingMidiPort::shortMessage(uint32_t message) {
    if (MidiPort* port = port_.get()) port->shortMessage(message);
}

void ReconnectingMidiPort::flush() {
    if (MidiPort* port = port_.keep(clock_.now())) port->flush();
}

}  // namespace glassfalls::platform
