// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>

#include "platform/os/ServiceNotifier.h"

namespace glassfalls::platform {

// The notices through systemd's library. Does nothing without a service manager. The
// watchdog is pinged at half the unit's WatchdogSec, in real time since the last ping (the
// program's clock may be virtual).
class SystemdNotifier final : public ServiceNotifier {
public:
    SystemdNotifier();
    void ready() override;
    void frameAdvanced() override;

private:
    using Clock = std::chrono::steady_clock;
    Clock::duration pingEvery_{};  // zero: no watchdog
    Clock::time_point lastPing_;
};

}  // namespace glassfalls::platform
