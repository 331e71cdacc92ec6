// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace glassfalls::platform {

// Tells the service manager how the piece is doing when it runs under a unit that asks
// (NOTIFY_SOCKET set, as with Type=notify): ready once start-up is complete, and a watchdog
// ping while frames advance, so a piece that hangs stops pinging and is restarted. Main
// thread only.
class ServiceNotifier {
public:
    virtual ~ServiceNotifier() = default;
    virtual void ready() = 0;
    // After every scene advance.
    virtual void frameAdvanced() = 0;
};

// For a piece that no service manager watches.
class NullServiceNotifier final : public ServiceNotifier {
public:
    void ready() override {}
    void frameAdvanced() override {}
};

}  // namespace glassfalls::platform
