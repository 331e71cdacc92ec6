// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/input/RemoteKeys.h"

namespace glassfalls::platform {

void RemoteKeys::beforeAdvance(uint64_t advance) {
    local_.beforeAdvance(advance);
    for (int key = 0; key < 4; ++key) {
        down_[key] = tapped_[key] || held_[key];
        tapped_[key] = false;
    }
}

}  // namespace glassfalls::platform
