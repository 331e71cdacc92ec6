// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <set>
#include <string>

#include "platform/input/RemoteKeys.h"
#include "platform/net/OscServer.h"

namespace glassfalls {

// What a status request is answered with.
struct ShowStatus {
    std::string scene;       // "title" or "performance"
    int32_t performers = 0;  // performers in a performance
    int32_t framesDrawn = 0;
};

// Steers the piece over OSC, as a show-control system does: the messages press the keys the
// scenes already read, so the piece behaves as it does at the keyboard, and a status request
// is answered with how it is doing. Handled between frames; no frame waits for a message.
// Main thread only.
class ShowControl {
public:
    explicit ShowControl(platform::RemoteKeys& keys) : keys_(keys) {}

    platform::Expected<void> open(int port);
    // The socket to wait on between frames; -1 when not open.
    int socket() const { return server_.socket(); }

    // Handles what arrived since the last call.
    void poll(const std::function<ShowStatus()>& status);
    // After every scene advance, for the frame rate of the status.
    void frameAdvanced();

private:
    using Clock = std::chrono::steady_clock;

    void handle(const platform::OscMessage& message, const std::function<ShowStatus()>& status);
    void reply(const platform::OscMessage& request, const std::function<ShowStatus()>& status);
    // Says why something was ignored, the first time that reason comes up.
    void ignore(const std::string& why);
    void forgetFramesBefore(Clock::time_point start);
    float framesPerSecond();

    platform::RemoteKeys& keys_;
    platform::OscServer server_;
    std::set<std::string> said_;
    std::deque<Clock::time_point> recentFrames_;  // those of the last 10 s
    Clock::time_point opened_;
};

}  // namespace glassfalls
