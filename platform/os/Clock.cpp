// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/os/Clock.h"

#include <chrono>

#include "platform/os/EventSource.h"

namespace glassfalls::platform {

namespace {
uint64_t monotonicNs() {
    return static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count());
}
}  // namespace

RealClock::RealClock() : startNs_(monotonicNs()) {}

uint32_t RealClock::now() const { return static_cast<uint32_t>((monotonicNs() - startNs_) / 1000000u); }

void RealClock::waitUntil(uint32_t deadline, EventSource& events, std::span<const int> sockets) {
    const int32_t remaining = ticksUntil(now(), deadline);
    if (remaining > 0) events.wait(static_cast<uint32_t>(remaining), sockets);
}

// Sockets are polled between frames instead: waiting for them would tie the run to the network.
void VirtualClock::waitUntil(uint32_t deadline, EventSource&, std::span<const int>) {
    if (ticksUntil(now_, deadline) > 0) now_ = deadline;
}

}  // namespace glassfalls::platform
