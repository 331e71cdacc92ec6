// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/OutsideSource.h"
#include "app/ShowStatus.h"
#include "performer/Instrument.h"
#include "platform/input/RemoteKeys.h"
#include "platform/osc/OscServer.h"

namespace glassfalls {

// Steers the piece over OSC, as a show-control system does: the messages press the keys the
// scenes already read, so the piece behaves as it does at the keyboard, and a status request
// is answered with how it is doing. Handled between frames; no frame waits for a message.
// Main thread only.
class ShowControl final : public OutsideSource {
public:
    // `notes` (none: notes are not taken) holds what /glassfalls/note plays.
    ShowControl(platform::RemoteKeys& keys, std::function<ShowStatus()> status, HeldNotes* notes)
        : keys_(keys), status_(std::move(status)), notes_(notes) {}

    platform::Expected<void> open(int port);
    void addSockets(std::vector<int>& sockets) const override;
    // Handles what arrived since the last call; the keys it presses reach the next advance
    // through the keyboard.
    void poll(uint32_t now, FrameInput& gathered) override;
    // For the frame rate of the status.
    void frameAdvanced() override;
    std::string name() const override { return "show control on UDP port " + std::to_string(port_); }

private:
    using Clock = std::chrono::steady_clock;

    void handle(const platform::OscMessage& message);
    void reply(const platform::OscMessage& request);
    void play(const platform::OscMessage& message);
    // Says why something was ignored, the first time that reason comes up.
    void ignore(const std::string& why);
    void forgetFramesBefore(Clock::time_point start);
    float framesPerSecond();

    platform::RemoteKeys& keys_;
    std::function<ShowStatus()> status_;
    HeldNotes* notes_;
    int port_ = 0;
    platform::OscServer server_;
    std::set<std::string> said_;
    std::deque<Clock::time_point> recentFrames_;  // those of the last 10 s
    Clock::time_point opened_;
};

}  // namespace glassfalls
