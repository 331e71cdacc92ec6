// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace glassfalls {

// Where a leader sends its inputs, or where a follower hears them: one multicast group with
// its port ("239.1.2.3:7000"), or a list of unicast addresses each with its own port
// ("10.0.0.2:7000,10.0.0.3:7000").
struct LockstepAddress {
    struct Endpoint {
        std::string host;
        int port = 0;
    };
    std::vector<Endpoint> endpoints;
    // A follower joins the group; a leader's multicast goes to one address however many hear.
    bool multicast() const;
};

// None when `text` is not HOST:PORT[,HOST:PORT]... with ports 1 … 65535.
std::optional<LockstepAddress> lockstepAddressNamed(const std::string& text);
// Whether `host` is an IPv4 multicast address (224.0.0.0 … 239.255.255.255).
bool isMulticastHost(const std::string& host);

// The messages between a leader and its followers. Every input goes in a bundle tagged with
// the leader's time of its advance: "/glassfalls/input" h ADVANCE s VERSION h DATA i PIECE
// i PIECES b BYTES, the advance's encoded FrameInput cut into pieces that each fit a
// datagram on an Ethernet.
namespace lockstep {
inline constexpr const char* kInput = "/glassfalls/input";
// Follower to leader: h FIRST h LAST, the advances to send again.
inline constexpr const char* kResend = "/glassfalls/resend";
// Leader to follower: h OLDEST, the advances asked for are older than what the leader keeps.
inline constexpr const char* kForgotten = "/glassfalls/forgotten";
// Follower to leader: h SENT, the follower's time in microseconds of its clock; the leader
// answers h SENT h NOW, with its own time, so that the follower knows how far apart the two
// clocks are.
inline constexpr const char* kTime = "/glassfalls/time";
// Leader to followers once it has stopped advancing: h LAST, its last advance.
inline constexpr const char* kLast = "/glassfalls/last";
inline constexpr size_t kPieceBytes = 1200;
// A picture and a microphone block make 43 pieces; anything claiming many more is not ours.
inline constexpr int32_t kMostPieces = 64;
}  // namespace lockstep

// The data a piece runs on, as a number: followers with another data set than their leader's
// would draw another piece. FNV-1a over each file's name and bytes, in the order given; a
// missing file counts as a name alone.
uint64_t dataFingerprint(const std::vector<std::string>& files);

}  // namespace glassfalls
