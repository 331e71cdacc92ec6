// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/systemd/SystemdNotifier.h"

#include <systemd/sd-daemon.h>

#include <cstdint>

namespace glassfalls::platform {

SystemdNotifier::SystemdNotifier() {
    uint64_t intervalUs = 0;
    if (sd_watchdog_enabled(0, &intervalUs) > 0 && intervalUs > 0) {
        pingEvery_ = std::chrono::microseconds(intervalUs / 2);
    }
}

void SystemdNotifier::ready() {
    sd_notify(0, "READY=1");
    lastPing_ = Clock::now();
}

void SystemdNotifier::frameAdvanced() {
    if (pingEvery_ == Clock::duration::zero()) return;
    const auto now = Clock::now();
    if (now - lastPing_ < pingEvery_) return;
    sd_notify(0, "WATCHDOG=1");
    lastPing_ = now;
}

}  // namespace glassfalls::platform
