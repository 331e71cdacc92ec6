// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/FrameInput.h"
#include "app/OutsideSource.h"

namespace glassfalls {

// Several machines showing one performance: the leader hears and sends each advance's input;
// every follower advances through exactly those inputs, so all draw the same frames.

// The leader's side. A follower that joins late, restarts or falls behind is sent the piece
// as it stands (a snapshot, over TCP on the port number the leader's datagrams come from).
class LeaderLink : public OutsideSource {
public:
    // Sends advance `advance`'s input to the followers, tagged with the moment its frame is to
    // be shown: `presentsIn` from now.
    virtual void send(uint64_t advance, const FrameInput& input, std::chrono::microseconds presentsIn) = 0;
    // Once the leader has stopped advancing: lets followers that are behind finish.
    virtual void linger() = 0;
};

// A follower's side.
class FollowerLink : public OutsideSource {
public:
    // The leader's input for `advance` once it is all here; nothing before, nor while a
    // snapshot is awaited.
    virtual std::optional<FrameInput> take(uint64_t advance) = 0;
    // The leader's snapshot of the piece, once one asked for has come all: the piece is to be
    // restored from it, and `resumeAfter` told the advance it was taken after.
    virtual std::optional<std::vector<uint8_t>> takeSnapshot() = 0;
    virtual void resumeAfter(uint64_t advance) = 0;
    // How long to wait from now before showing the frame of the input taken last, so that it
    // is shown when the leader shows its own; zero when that moment has passed or is unknown.
    virtual std::chrono::microseconds untilPresent() const = 0;
    // Why this machine cannot follow the leader at all; none while it can.
    virtual const std::optional<std::string>& refusal() const = 0;
    // The leader has ended and `played` was its last advance.
    virtual bool leaderFinished(uint64_t played) const = 0;
};

}  // namespace glassfalls
