// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "app/FrameInput.h"
#include "app/OutsideSource.h"

namespace glassfalls {

// Several machines showing one performance: the leader hears and sends each advance's input;
// every follower advances through exactly those inputs, so all draw the same frames.

// The leader's side.
class LeaderLink : public OutsideSource {
public:
    // Sends advance `advance`'s input to the followers.
    virtual void send(uint64_t advance, const FrameInput& input) = 0;
    // Once the leader has stopped advancing: lets followers that are behind finish.
    virtual void linger() = 0;
};

// A follower's side.
class FollowerLink : public OutsideSource {
public:
    // The leader's input for `advance` once it is all here; nothing before.
    virtual std::optional<FrameInput> take(uint64_t advance) = 0;
    // Why this machine cannot follow the leader at all; none while it can.
    virtual const std::optional<std::string>& refusal() const = 0;
    // The leader has ended and `played` was its last advance.
    virtual bool leaderFinished(uint64_t played) const = 0;
};

}  // namespace glassfalls
