// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/FrameInput.h"

namespace glassfalls {

// Something outside the piece that is read between frames, besides the window and the
// microphone: the picture link, show control. Reading never waits. Main thread only.
class OutsideSource {
public:
    virtual ~OutsideSource() = default;
    // The sockets the loop waits on between frames, added to `sockets`.
    virtual void addSockets(std::vector<int>& sockets) const = 0;
    // Takes what arrived since the last call; what the next advance is to see goes into
    // `gathered`.
    virtual void poll(uint32_t now, FrameInput& gathered) = 0;
    // After every scene advance.
    virtual void frameAdvanced() {}
    // Where it reads from, for messages to the user.
    virtual std::string name() const = 0;
};

}  // namespace glassfalls
