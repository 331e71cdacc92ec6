// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/FrameInput.h"
#include "app/Lockstep.h"
#include "app/LockstepWire.h"
#include "platform/net/Socket.h"
#include "platform/osc/OscServer.h"

namespace glassfalls {

// A machine that shows what the leader hears: takes the leader's numbered inputs, puts back
// together those that came in pieces, and asks again for what went missing, so that it
// advances through exactly the leader's inputs in order. Only the first leader heard is
// followed until it goes quiet. Main thread only.
class LockstepFollower final : public FollowerLink {
public:
    using Clock = std::chrono::steady_clock;
    // A leader this long silent is said to be gone.
    static constexpr auto kQuiet = std::chrono::seconds(2);

    // A follower this many advances behind its leader catches up by a snapshot, when
    // `catchUp`; a headless one plays every advance instead.
    static constexpr uint64_t kFarBehind = 90;

    LockstepFollower(LockstepAddress heardOn, uint64_t dataFingerprint, bool catchUp)
        : address_(std::move(heardOn)), fingerprint_(dataFingerprint), catchUp_(catchUp) {}

    platform::Expected<void> open();
    void addSockets(std::vector<int>& sockets) const override;
    // Takes what has come and asks again for what is missing.
    void poll(uint32_t now, FrameInput& gathered) override;
    std::string name() const override { return "the leader"; }

    // The leader's input for `advance` once it is all here; nothing before.
    std::optional<FrameInput> take(uint64_t advance) override;
    std::optional<std::vector<uint8_t>> takeSnapshot() override;
    void resumeAfter(uint64_t advance) override;
    std::chrono::microseconds untilPresent() const override;
    // Why this follower cannot follow its leader at all (another version, another data set);
    // none while it can.
    const std::optional<std::string>& refusal() const override { return refusal_; }
    // The leader has said its last advance and this follower has played it.
    bool leaderFinished(uint64_t played) const override { return lastAdvance_ && played >= *lastAdvance_; }

private:
    struct Assembly {
        std::vector<std::vector<uint8_t>> pieces;
        int32_t arrived = 0;
        bool complete() const { return arrived == static_cast<int32_t>(pieces.size()); }
        platform::OscTime time;
    };
    void receive(const platform::OscMessage& message);
    void receivePiece(const platform::OscMessage& message);
    void askForMissing();
    // Starts, goes on with or gives up on the snapshot's transfer.
    void fetchSnapshot();
    void follow(const platform::OscMessage& message);
    // Asks the leader's time now and again, and keeps the answer that came back quickest.
    void measureClocks();
    void heardTime(const platform::OscMessage& answer);
    void noticeQuiet();
    bool fromLeader(const platform::OscMessage& message);

    LockstepAddress address_;
    uint64_t fingerprint_;
    bool catchUp_;
    platform::OscServer server_;
    std::string leaderHost_, leaderPort_;  // empty until a leader is heard
    Clock::time_point lastHeard_{};
    std::map<uint64_t, Assembly> waiting_;  // advances not yet played, complete or not
    uint64_t next_ = 1;                     // the advance to play next
    uint64_t highest_ = 0;                  // the newest advance the leader has spoken of
    std::optional<uint64_t> lastAdvance_;
    Clock::time_point lastAsked_{};
    std::optional<std::string> refusal_;
    // The snapshot: wanted, being received, or here for the application to take.
    bool wantSnapshot_ = false;
    platform::net::Socket snapshotSocket_;
    std::vector<uint8_t> snapshotBytes_;
    Clock::time_point snapshotAsked_{};
    std::optional<std::vector<uint8_t>> snapshot_;
    // The leader's clock minus this machine's, from the quickest of the recent round trips.
    struct ClockSample {
        int64_t roundTrip;
        int64_t offset;
    };
    std::vector<ClockSample> clockSamples_;
    std::optional<int64_t> clockOffset_;
    Clock::time_point clocksAsked_{};
    platform::OscTime takenPresents_;  // when the leader shows the frame of the input taken last
};

}  // namespace glassfalls
