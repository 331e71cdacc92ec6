// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/LockstepFollower.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string>
#include <utility>

#include "app/Version.h"
#include "platform/os/ByteStream.h"

namespace glassfalls {

namespace {

constexpr size_t kPacketsPerPoll = 256;
// How long a missing advance waits before it is asked for again: more than a round trip on
// a gallery network, less than a frame.
constexpr auto kAskAgainAfter = std::chrono::milliseconds(25);
constexpr int kRunsAskedAtOnce = 4;

std::string hexOf(uint64_t value) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

}  // namespace

platform::Expected<void> LockstepFollower::open() {
    const auto& endpoint = address_.endpoints.front();
    if (address_.multicast()) return server_.openMulticast(endpoint.host, endpoint.port, "--follow");
    return server_.open(endpoint.port, "--follow");
}

void LockstepFollower::addSockets(std::vector<int>& sockets) const {
    if (server_.isOpen()) sockets.push_back(server_.socket());
}

void LockstepFollower::poll(uint32_t, FrameInput&) {
    std::vector<std::string> unreadable;
    for (const platform::OscMessage& message : server_.receive(kPacketsPerPoll, unreadable)) receive(message);
    if (refusal_) return;
    if (catchUp_ && !leaderHost_.empty() && highest_ > next_ + kFarBehind) wantSnapshot_ = true;
    fetchSnapshot();
    if (!wantSnapshot_) askForMissing();
    measureClocks();
    noticeQuiet();
}

bool LockstepFollower::fromLeader(const platform::OscMessage& message) {
    if (leaderHost_.empty() && message.path == lockstep::kInput) follow(message);
    return message.senderHost == leaderHost_ && message.senderPort == leaderPort_;
}

void LockstepFollower::follow(const platform::OscMessage& message) {
    leaderHost_ = message.senderHost;
    leaderPort_ = message.senderPort;
    std::fprintf(stderr, "glassfalls: following the leader at %s:%s\n", leaderHost_.c_str(), leaderPort_.c_str());
    waiting_.clear();
    highest_ = 0;
    lastAdvance_.reset();
    lastHeard_ = Clock::now();
    // Anywhere but at the advance this machine is to play next, the piece is taken as the
    // leader has it.
    wantSnapshot_ = message.numbers[0] != static_cast<double>(next_);
}

void LockstepFollower::fetchSnapshot() {
    using namespace std::chrono_literals;
    if (!wantSnapshot_ || snapshot_) return;
    if (!snapshotSocket_) {
        // A failed attempt is tried again a second later.
        if (Clock::now() - snapshotAsked_ < 1s) return;
        const auto address = platform::net::dottedAddress(leaderHost_);
        if (!address) return;
        snapshotAsked_ = Clock::now();
        snapshotBytes_.clear();
        snapshotSocket_ = platform::net::Socket::tcp();
        if (!snapshotSocket_.connect({*address, static_cast<uint16_t>(std::stoi(leaderPort_))})) {
            snapshotSocket_.close();
            return;
        }
        snapshotSocket_.detectVanishedPeer();
    }
    constexpr size_t kMostBytes = size_t{64} << 20;
    uint8_t buffer[65536];
    for (;;) {
        const long got = snapshotSocket_.receive(buffer);
        if (got > 0) {
            snapshotBytes_.insert(snapshotBytes_.end(), buffer, buffer + got);
            continue;
        }
        const bool ended = got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
        platform::ByteReader in(snapshotBytes_);
        uint32_t size = 0;
        in.u32(size);
        if (in.ok() && size <= kMostBytes && in.left() == size) {
            snapshot_.emplace(snapshotBytes_.begin() + 4, snapshotBytes_.end());
            snapshotSocket_.close();
        } else if (ended || in.left() > size || size > kMostBytes || Clock::now() - snapshotAsked_ > 10s) {
            snapshotSocket_.close();
        }
        return;
    }
}

std::optional<std::vector<uint8_t>> LockstepFollower::takeSnapshot() { return std::exchange(snapshot_, std::nullopt); }

void LockstepFollower::resumeAfter(uint64_t advance) {
    wantSnapshot_ = false;
    next_ = advance + 1;
    waiting_.erase(waiting_.begin(), waiting_.lower_bound(next_));
}

void LockstepFollower::receive(const platform::OscMessage& message) {
    if (message.path == lockstep::kInput && message.types == "hshiib" && message.time) {
        if (!fromLeader(message)) return;
        receivePiece(message);
    } else if (message.path == lockstep::kTime && message.types == "hh") {
        if (!fromLeader(message)) return;
        heardTime(message);
    } else if (message.path == lockstep::kLast && message.types == "h") {
        if (!fromLeader(message)) return;
        lastAdvance_ = static_cast<uint64_t>(std::max(0.0, message.numbers[0]));
        highest_ = std::max(highest_, *lastAdvance_);
    } else if (message.path == lockstep::kForgotten && message.types == "h") {
        // Too far behind for the leader's history: the piece as it stands instead.
        if (!fromLeader(message)) return;
        wantSnapshot_ = true;
    } else {
        return;
    }
    lastHeard_ = Clock::now();
}

void LockstepFollower::receivePiece(const platform::OscMessage& message) {
    if (message.strings[0] != kVersion) {
        refusal_ = "the leader at " + leaderHost_ + " runs glassFalls " + message.strings[0] + " and this machine " +
                   kVersion + "; both must run the same version";
        return;
    }
    // An int64 travels as a double here, exactly for every value a fingerprint's bits make
    // equal on both sides: compare what the leader's bits became with what ours become.
    if (message.numbers[1] != static_cast<double>(static_cast<int64_t>(fingerprint_))) {
        refusal_ = "the leader at " + leaderHost_ + " runs on another data set (pictures, model or melody) than " +
                   "this machine's (" + hexOf(fingerprint_) + "); give both the same --data and --melody";
        return;
    }
    const double advanceNumber = message.numbers[0];
    const double piece = message.numbers[2];
    const double pieces = message.numbers[3];
    if (advanceNumber < 1 || pieces < 1 || pieces > lockstep::kMostPieces || piece < 0 || piece >= pieces) return;
    if (message.blob.size() > lockstep::kPieceBytes) return;
    const auto advance = static_cast<uint64_t>(advanceNumber);
    highest_ = std::max(highest_, advance);
    if (advance < next_) return;
    Assembly& assembly = waiting_[advance];
    if (assembly.pieces.empty()) {
        assembly.pieces.resize(static_cast<size_t>(pieces));
        assembly.time = *message.time;
    }
    if (assembly.pieces.size() != static_cast<size_t>(pieces)) return;
    auto& slot = assembly.pieces[static_cast<size_t>(piece)];
    if (!slot.empty() || message.blob.empty()) return;
    slot = message.blob;
    ++assembly.arrived;
}

std::optional<FrameInput> LockstepFollower::take(uint64_t advance) {
    if (wantSnapshot_) return std::nullopt;
    next_ = std::max(next_, advance);
    // What is older than the advance asked for will never be played.
    waiting_.erase(waiting_.begin(), waiting_.lower_bound(advance));
    const auto found = waiting_.find(advance);
    if (found == waiting_.end() || !found->second.complete()) return std::nullopt;
    std::vector<uint8_t> bytes;
    for (const auto& piece : found->second.pieces) bytes.insert(bytes.end(), piece.begin(), piece.end());
    takenPresents_ = found->second.time;
    waiting_.erase(found);
    auto input = decodeFrameInput(bytes);
    if (!input) {
        // The pieces were ours in form but not in content: ask for them again.
        std::fprintf(stderr, "glassfalls: the leader's input for advance %llu %s; asking again\n",
                     static_cast<unsigned long long>(advance), input.error().c_str());
        return std::nullopt;
    }
    next_ = advance + 1;
    return std::move(*input);
}

void LockstepFollower::askForMissing() {
    if (leaderHost_.empty() || highest_ < next_) return;
    const auto now = Clock::now();
    if (now - lastAsked_ < kAskAgainAfter) return;
    int runs = 0;
    uint64_t advance = next_;
    while (advance <= highest_ && runs < kRunsAskedAtOnce) {
        const auto found = waiting_.find(advance);
        if (found != waiting_.end() && found->second.complete()) {
            ++advance;
            continue;
        }
        // A run of missing advances, up to the next one that is here.
        const uint64_t first = advance;
        const auto after = waiting_.upper_bound(advance);
        uint64_t last = after == waiting_.end() ? highest_ : std::min(highest_, after->first - 1);
        if (found != waiting_.end()) last = advance;  // here in part
        server_.send(leaderHost_, leaderPort_, lockstep::kResend,
                     {static_cast<int64_t>(first), static_cast<int64_t>(last)});
        lastAsked_ = now;
        ++runs;
        advance = last + 1;
    }
}

void LockstepFollower::noticeQuiet() {
    // A leader that said its last advance has ended, not gone.
    if (leaderHost_.empty() || lastAdvance_) return;
    if (Clock::now() - lastHeard_ < kQuiet) return;
    std::fprintf(stderr,
                 "glassfalls: the leader at %s:%s has gone quiet; holding the last frame until a leader is heard\n",
                 leaderHost_.c_str(), leaderPort_.c_str());
    // Whoever leads next is followed, from its snapshot.
    leaderHost_.clear();
}

void LockstepFollower::measureClocks() {
    using namespace std::chrono_literals;
    if (leaderHost_.empty() || Clock::now() - clocksAsked_ < 1s) return;
    clocksAsked_ = Clock::now();
    server_.send(leaderHost_, leaderPort_, lockstep::kTime, {platform::OscTime::now().microseconds()});
}

void LockstepFollower::heardTime(const platform::OscMessage& answer) {
    constexpr size_t kSamplesKept = 8;
    const int64_t back = platform::OscTime::now().microseconds();
    const auto sent = static_cast<int64_t>(answer.numbers[0]);
    const auto leader = static_cast<int64_t>(answer.numbers[1]);
    if (back < sent || back - sent > 1'000'000) return;  // not ours, or too slow to tell anything
    clockSamples_.push_back({back - sent, leader - (sent + back) / 2});
    if (clockSamples_.size() > kSamplesKept) clockSamples_.erase(clockSamples_.begin());
    // The quickest round trip had the least room for the way there and back to differ.
    clockOffset_ = std::min_element(clockSamples_.begin(), clockSamples_.end(), [](const auto& a, const auto& b) {
                       return a.roundTrip < b.roundTrip;
                   })->offset;
}

std::chrono::microseconds LockstepFollower::untilPresent() const {
    // Never longer than a frame or two: a clock that jumped must not hold the picture up.
    constexpr int64_t kLongest = 100'000;
    if (!clockOffset_) return {};
    const int64_t wait = takenPresents_.microseconds() - *clockOffset_ - platform::OscTime::now().microseconds();
    return std::chrono::microseconds(std::clamp<int64_t>(wait, 0, kLongest));
}

}  // namespace glassfalls
