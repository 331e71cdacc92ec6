// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace glassfalls {

// Decides when the scene advances: when strictly more than the frame interval has passed
// since the last advance, measured as an unsigned 32-bit difference so that the wrap of the
// millisecond counter is harmless. At most one advance per call.
class FramePacer {
public:
    // True when a scene advance is due at `now`; the first call only takes the time.
    bool tick(uint32_t now, uint32_t frameInterval) {
        if (!started_) {
            started_ = true;
            last_ = now;
        }
        if (now - last_ > frameInterval) {
            last_ = now;
            return true;
        }
        return false;
    }

    // The first moment at which tick will advance.
    uint32_t nextDue(uint32_t now, uint32_t frameInterval) const { return started_ ? last_ + frameInterval + 1 : now; }

private:
    bool started_ = false;
    uint32_t last_ = 0;
};

}  // namespace glassfalls
