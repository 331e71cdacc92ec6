// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <deque>
#include <span>

#include "platform/os/Message.h"

namespace glassfalls::platform {

// Where platform events come from. Main thread only.
class EventSource {
public:
    virtual ~EventSource() = default;

    // Appends every pending platform event to `queue` as a message; never blocks.
    virtual void poll(std::deque<Message>& queue) = 0;

    // Blocks for at most `timeoutMs` or until an event is pending (it stays pending), one of
    // `sockets` is readable, or another thread wakes the main loop (MainLoopWake.h).
    virtual void wait(uint32_t timeoutMs, std::span<const int> sockets) = 0;
};

}  // namespace glassfalls::platform
