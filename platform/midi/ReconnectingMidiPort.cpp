#include "platform/midi/ReconnectingMidiPort.h"

#include "platform/clock/Clock.h"

namespace glassfalls::platform {

ReconnectingMidiPort::ReconnectingMidiPort(Opener opener, std::unique_ptr<MidiPort> port, Clock& clock)
    : opener_(std::move(opener)),
      port_(std::move(port)),
      clock_(clock),
      name_(port_->name()),
      reconnection_(name_ + " is gone; its notes are dropped until it is back", name_ + " is back", kRetryMs,
                    clock.now()) {}

void ReconnectingMidiPort::shortMessage(uint32_t message) {
    if (port_) port_->shortMessage(message);
}

void ReconnectingMidiPort::flush() {
    const uint32_t now = clock_.now();
    if (port_ && port_->lost()) {
        port_.reset();
        reconnection_.lost(now);
    }
    if (!port_ && reconnection_.due(now)) {
        std::string error;
        port_ = opener_(error);
        if (port_) reconnection_.regained();
    }
    if (port_) port_->flush();
}

}  // namespace glassfalls::platform
