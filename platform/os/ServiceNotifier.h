// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>

namespace glassfalls::platform {

// Tells the service manager how the piece is doing when it runs under a unit that asks
// (NOTIFY_SOCKET set, as with Type=notify): ready once start-up is complete, and a watchdog
// ping at half the unit's WatchdogSec while frames advance, so a piece that hangs stops
// pinging and is restarted. Does nothing without a service manager. Main thread only.
class ServiceNotifier {
public:
    ServiceNotifier();

    void ready();
    // After every scene advance; pings when half the watchdog interval has passed in real
    // time since the last ping (the program's clock may be virtual).
    void frameAdvanced();

private:
    using Clock = std::chrono::steady_clock;
    Clock::duration pingEvery_{};  // zero: no watchdog
    Clock::time_point lastPing_;
};

}  // namespace glassfalls::platform
