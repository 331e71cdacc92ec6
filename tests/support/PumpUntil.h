// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <functional>

namespace glassfalls::test_support {

// Pumps until `done`; false once `limit` of real time has passed without it. A deadline in
// real time holds on a loaded machine, where a count of passes may run out before the event.
inline bool pumpUntil(const std::function<void()>& pump, const std::function<bool()>& done,
                      std::chrono::steady_clock::duration limit = std::chrono::seconds(10)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        pump();
    }
    return true;
}

}  // namespace glassfalls::test_support
