// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/LockstepLeader.h"

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "app/Version.h"
#include "platform/os/ByteStream.h"

namespace glassfalls {

namespace {

constexpr size_t kPacketsPerPoll = 64;
// One request sends at most this many advances again, so that a follower far behind cannot
// make the leader flood the network in one frame.
constexpr uint64_t kMostResent = 64;

}  // namespace

platform::Expected<void> LockstepLeader::open() {
    // The snapshots are served on the port number the datagrams come from, so that a follower
    // knows where to ask from any datagram. Another program may hold that number for TCP.
    for (int attempt = 0; attempt < 8; ++attempt) {
        GLASSFALLS_TRY(server_.open(0, "--lead"));
        snapshots_ = platform::net::Socket::tcp();
        if (snapshots_ && snapshots_.bind(static_cast<uint16_t>(server_.port())) && snapshots_.listen()) return {};
        server_.close();
    }
    return platform::failure("--lead: cannot take a TCP port for the followers' snapshots");
}

void LockstepLeader::send(uint64_t advance, const FrameInput& input, std::chrono::microseconds presentsIn) {
    const int64_t presents = platform::OscTime::now().microseconds() + presentsIn.count();
    Sent sent{advance, platform::OscTime::ofMicroseconds(presents), encodeFrameInput(input)};
    for (const auto& endpoint : followers_.endpoints) sendPieces(endpoint.host, std::to_string(endpoint.port), sent);
    history_.push_back(std::move(sent));
    if (history_.size() > kHistory) history_.pop_front();
}

void LockstepLeader::sendPieces(const std::string& host, const std::string& port, const Sent& sent) {
    const size_t size = sent.bytes.size();
    const auto pieces =
        static_cast<int32_t>(std::max<size_t>(1, (size + lockstep::kPieceBytes - 1) / lockstep::kPieceBytes));
    for (int32_t piece = 0; piece < pieces; ++piece) {
        const size_t begin = static_cast<size_t>(piece) * lockstep::kPieceBytes;
        const size_t end = std::min(size, begin + lockstep::kPieceBytes);
        const std::vector<uint8_t> bytes(sent.bytes.begin() + static_cast<std::ptrdiff_t>(begin),
                                         sent.bytes.begin() + static_cast<std::ptrdiff_t>(end));
        const bool gone = server_.sendAt(host, port, sent.time, lockstep::kInput,
                                         {static_cast<int64_t>(sent.advance), std::string(kVersion),
                                          static_cast<int64_t>(fingerprint_), piece, pieces, bytes});
        if (!gone) say("cannot send to the follower at " + host + ":" + port + "; the piece goes on without it");
    }
}

void LockstepLeader::addSockets(std::vector<int>& sockets) const {
    if (server_.isOpen()) sockets.push_back(server_.socket());
    if (snapshots_) sockets.push_back(snapshots_.fd());
}

void LockstepLeader::poll(uint32_t, FrameInput&) {
    serveRequests();
    serveSnapshots();
}

void LockstepLeader::serveSnapshots() {
    constexpr size_t kMostAtOnce = 8;
    constexpr auto kGiveUpAfter = std::chrono::seconds(10);
    for (platform::net::Endpoint from; sending_.size() < kMostAtOnce;) {
        platform::net::Socket follower = snapshots_.accept(&from);
        if (!follower) break;
        platform::ByteWriter out;
        const std::vector<uint8_t> snapshot = snapshot_();
        out.u32(static_cast<uint32_t>(snapshot.size()));
        out.bytes(snapshot);
        sending_.push_back({std::move(follower), out.take(), 0, std::chrono::steady_clock::now()});
    }
    // As much as each connection takes now: the leader never waits for a follower.
    std::erase_if(sending_, [&](Sending& each) {
        while (each.sent < each.bytes.size()) {
            const long sent = each.socket.send(std::span(each.bytes).subspan(each.sent));
            if (sent <= 0) break;
            each.sent += static_cast<size_t>(sent);
        }
        return each.sent == each.bytes.size() || each.socket.poll().hungUp ||
               std::chrono::steady_clock::now() - each.started > kGiveUpAfter;
    });
}

bool LockstepLeader::serveRequests() {
    std::vector<std::string> unreadable;
    bool requested = false;
    for (const platform::OscMessage& message : server_.receive(kPacketsPerPoll, unreadable)) {
        followerHeard_ = std::chrono::steady_clock::now();
        if (message.path == lockstep::kTime && message.types == "h") {
            server_.send(message.senderHost, message.senderPort, lockstep::kTime,
                         {static_cast<int64_t>(message.numbers[0]), platform::OscTime::now().microseconds()});
        }
        if (message.path != lockstep::kResend || message.types != "hh") continue;
        answer(message);
        requested = true;
    }
    return requested;
}

void LockstepLeader::answer(const platform::OscMessage& request) {
    if (history_.empty()) return;
    const auto first = static_cast<uint64_t>(std::max(0.0, request.numbers[0]));
    const auto last = static_cast<uint64_t>(std::max(0.0, request.numbers[1]));
    const uint64_t oldest = history_.front().advance;
    if (first < oldest) {
        server_.send(request.senderHost, request.senderPort, lockstep::kForgotten, {static_cast<int64_t>(oldest)});
        return;
    }
    for (uint64_t advance = first; advance <= last && advance < first + kMostResent; ++advance) {
        const uint64_t index = advance - oldest;
        if (index >= history_.size()) break;
        sendPieces(request.senderHost, request.senderPort, history_[index]);
    }
}

void LockstepLeader::linger() {
    using Clock = std::chrono::steady_clock;
    // No follower has been heard for a while (each asks the time every second): none to wait for.
    if (history_.empty() || Clock::now() - followerHeard_ > std::chrono::seconds(3)) return;
    const auto quietFor = std::chrono::seconds(1);
    auto lastHeard = Clock::now();
    while (Clock::now() - lastHeard < quietFor) {
        for (const auto& endpoint : followers_.endpoints) {
            server_.send(endpoint.host, std::to_string(endpoint.port), lockstep::kLast,
                         {static_cast<int64_t>(history_.back().advance)});
        }
        pollfd waiting{server_.socket(), POLLIN, 0};
        ::poll(&waiting, 1, 100);
        if (serveRequests()) lastHeard = Clock::now();
    }
    // Once is enough: the window's end and the program's both shut the outputs down.
    history_.clear();
}

void LockstepLeader::say(const std::string& line) {
    if (said_.insert(line).second) std::fprintf(stderr, "glassfalls: %s\n", line.c_str());
}

}  // namespace glassfalls
