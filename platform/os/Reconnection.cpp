// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/os/Reconnection.h"

#include <cstdio>

namespace glassfalls::platform {

void Reconnection::lost(uint32_t now) {
    lastAttempt_ = now;
    std::fprintf(stderr, "glassfalls: %s\n", gone_.c_str());
}

bool Reconnection::due(uint32_t now) {
    if (now - lastAttempt_ < retryMs_) return false;
    lastAttempt_ = now;
    return true;
}

void Reconnection::regained() const { std::fprintf(stderr, "glassfalls: %s\n", back_.c_str()); }

}  // namespace glassfalls::platform
