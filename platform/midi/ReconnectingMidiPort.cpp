#include "platform/midi/ReconnectingMidiPort.h"

#include <cstdio>

#include "platform/clock/Clock.h"

namespace glassfalls::platform {

ReconnectingMidiPort::ReconnectingMidiPort(Opener opener, std::unique_ptr<MidiPort> port, Clock& clock)
    : opener_(std::move(opener)), port_(std::move(port)), clock_(clock), name_(port_->name()), lastAttempt_(clock.now()) {}

void ReconnectingMidiPort::shortMessage(uint32_t message) {
    if (port_) port_->shortMessage(message);
}

void ReconnectingMidiPort::flush() {
    const uint32_t now = clock_.now();
    if (port_ && port_->lost()) {
        port_.reset();
        lastAttempt_ = now;
        std::fprintf(stderr, "glassfalls: %s is gone; its notes are dropped until it is back\n", name_.c_str());
    }
    if (!port_ && now - lastAttempt_ >= kRetryMs) {
        lastAttempt_ = now;
        std::string error;
        port_ = opener_(error);
        if (port_) std::fprintf(stderr, "glassfalls: %s is back\n", name_.c_str());
    }
    if (port_) port_->flush();
}

}  // namespace glassfalls::platform
