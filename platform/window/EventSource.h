#pragma once

#include <cstdint>
#include <deque>

#include "platform/window/Message.h"

namespace glassfalls::platform {

// Where platform events come from. Main thread only.
class EventSource {
public:
    virtual ~EventSource() = default;

    // Appends every pending platform event to `queue` as a message; never blocks.
    virtual void poll(std::deque<Message>& queue) = 0;

    // Blocks for at most `timeoutMs` or until an event is pending (it stays pending).
    virtual void wait(uint32_t timeoutMs) = 0;
};

}  // namespace glassfalls::platform
