// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>

namespace glassfalls::platform {

class EventSource;

// A millisecond counter that wraps at 2^32, like the system tick it stands in for.
// Main thread only.
class Clock {
public:
    virtual ~Clock() = default;
    virtual uint32_t now() const = 0;

    // Returns at `deadline` or earlier when `events` has something to deliver or one of
    // `sockets` is readable. A deadline already passed (as a signed 32-bit difference)
    // returns at once.
    virtual void waitUntil(uint32_t deadline, EventSource& events, std::span<const int> sockets) = 0;
};

// Milliseconds since the clock was made, from the system's monotonic clock.
class RealClock final : public Clock {
public:
    RealClock();
    uint32_t now() const override;
    void waitUntil(uint32_t deadline, EventSource& events, std::span<const int> sockets) override;

private:
    uint64_t startNs_;
};

// Time that moves only when asked: waiting jumps straight to the deadline, so a headless run
// is deterministic and as fast as the machine allows.
class VirtualClock final : public Clock {
public:
    explicit VirtualClock(uint32_t start = 0) : now_(start) {}
    uint32_t now() const override { return now_; }
    void waitUntil(uint32_t deadline, EventSource& events, std::span<const int> sockets) override;
    void set(uint32_t t) { now_ = t; }
    void advance(uint32_t ms) { now_ += ms; }

private:
    uint32_t now_;
};

// Signed distance from `from` to `to` on the wrapping counter.
inline int32_t ticksUntil(uint32_t from, uint32_t to) { return static_cast<int32_t>(to - from); }

}  // namespace glassfalls::platform
