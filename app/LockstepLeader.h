// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "app/FrameInput.h"
#include "app/Lockstep.h"
#include "app/LockstepWire.h"
#include "platform/net/Socket.h"
#include "platform/osc/OscServer.h"

namespace glassfalls {

// The machine that hears: sends every advance's input, numbered, to the followers, and sends
// again from a short history what one of them missed. It never waits for a follower: a
// datagram that cannot go is lost like one dropped on the way. Main thread only.
class LockstepLeader final : public LeaderLink {
public:
    // The inputs the history keeps: half a minute of the performance's frames.
    static constexpr size_t kHistory = 1024;

    // `snapshot` makes the piece's snapshot as it stands between advances.
    LockstepLeader(LockstepAddress followers, uint64_t dataFingerprint, std::function<std::vector<uint8_t>()> snapshot)
        : followers_(std::move(followers)), fingerprint_(dataFingerprint), snapshot_(std::move(snapshot)) {}

    platform::Expected<void> open();
    // Sends advance `advance`'s input to every follower and keeps it.
    void send(uint64_t advance, const FrameInput& input, std::chrono::microseconds presentsIn) override;
    void addSockets(std::vector<int>& sockets) const override;
    // Answers the followers' requests and sends the snapshots asked for, a part a pass.
    void poll(uint32_t now, FrameInput& gathered) override;
    std::string name() const override { return "the followers' requests"; }
    // Once the leader has stopped advancing: says which advance was the last and answers
    // requests until none has come for a second, so that a follower behind can finish.
    void linger() override;

private:
    struct Sent {
        uint64_t advance;
        platform::OscTime time;
        std::vector<uint8_t> bytes;
    };
    void sendPieces(const std::string& host, const std::string& port, const Sent& sent);
    void answer(const platform::OscMessage& request);
    // Handles what has come; true when a request was among it.
    bool serveRequests();
    void say(const std::string& line);
    void serveSnapshots();

    // A snapshot on its way to a follower.
    struct Sending {
        platform::net::Socket socket;
        std::vector<uint8_t> bytes;  // its length, then the snapshot
        size_t sent = 0;
        std::chrono::steady_clock::time_point started;
    };

    LockstepAddress followers_;
    uint64_t fingerprint_;
    std::function<std::vector<uint8_t>()> snapshot_;
    platform::OscServer server_;
    platform::net::Socket snapshots_;  // listening
    std::vector<Sending> sending_;
    std::deque<Sent> history_;
    std::set<std::string> said_;
    std::chrono::steady_clock::time_point followerHeard_{};  // the last message from any follower
};

}  // namespace glassfalls
