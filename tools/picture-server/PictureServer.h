// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/net/Socket.h"
#include "tools/picture-server/PictureSource.h"
#include "tools/picture-server/WebSocketClients.h"

namespace picture_server {

// Serves pictures to the pieces that connect: each gets an index over TCP (FF FF and the index,
// 16 bits little-endian), answers with FE FF and the index by UDP from the address it listens
// on, and from then on receives a picture every round. A round's pictures are spread across
// the round, starting with a different client each time, from a socket of each client's own,
// so that a client the network cannot keep up with loses its own pictures and nobody else's.
// Single-threaded, non-blocking.
class PictureServer {
public:
    using Log = std::function<void(const std::string& line)>;
    using Clock = std::chrono::steady_clock;

    // At most this many registration replies are read per pass, so a flood of them never
    // holds up the sending.
    static constexpr int kRepliesPerPass = 64;
    // How long accepting pauses when the process has no file descriptor left.
    static constexpr std::chrono::milliseconds kAcceptPause{1000};

    PictureServer(PictureSource& source, Log log) : source_(source), log_(std::move(log)) {}

    // Listens for TCP and UDP on `port` of `address` (network order; 0: every address).
    // False with the reason when the port is taken.
    glassfalls::platform::Expected<void> listen(uint16_t port, uint32_t address);
    // Handles every client event that is waiting, waiting up to `timeoutMs` for the first.
    void serve(uint32_t timeoutMs);

    // Starts a round at `now`: the source's next picture, to every registered client within
    // `length`.
    void startRound(Clock::time_point now, Clock::duration length);
    // Sends the round's datagrams that are due at `now`.
    void sendDue(Clock::time_point now);
    // When the next datagram of the round is due; nothing once the round is sent.
    std::optional<Clock::time_point> nextSendDue() const;

    // Browsers over WebSocket get their pictures in the rounds too, each in its turn.
    void serveBrowsers(WebSocketClients& browsers) { browsers_ = &browsers; }

    uint64_t roundsStarted() const { return rounds_; }
    size_t clientCount() const { return clients_.size(); }
    size_t registeredCount() const;
    uint64_t picturesSent() const { return sent_; }
    uint64_t picturesDropped() const { return dropped_; }  // the client's buffer was full

private:
    struct Client {
        glassfalls::platform::net::Socket connection;
        glassfalls::platform::net::Endpoint peer;  // its TCP address
        uint16_t index = 0;
        std::optional<glassfalls::platform::net::Endpoint> pictures;  // learned from its reply
        // Connected to `pictures` from the server's port; empty when it could not be made,
        // and the server's own UDP socket sends instead.
        glassfalls::platform::net::Socket udp;
    };

    void accept();
    void readReplies();
    void learnPictureAddress(uint16_t index, const glassfalls::platform::net::Endpoint& from);
    // False when the client has gone: closed, reset, or silent past the keepalive.
    bool stillThere(Client& client);
    uint16_t freeIndex();
    Client* find(uint16_t index);

    PictureSource& source_;
    Log log_;
    glassfalls::platform::net::Socket listener_;
    glassfalls::platform::net::Socket udp_;
    glassfalls::platform::net::Endpoint local_;
    std::vector<Client> clients_;
    uint16_t nextIndex_ = 1;
    uint64_t sent_ = 0;
    uint64_t dropped_ = 0;

    // One client's place in a round: a piece by its index, or a browser by its id.
    struct Recipient {
        bool browser = false;
        uint32_t id = 0;
    };

    // The round under way: the picture, and which clients get it when.
    const PictureBytes* picture_ = nullptr;
    std::vector<Recipient> order_;
    WebSocketClients* browsers_ = nullptr;
    size_t nextInOrder_ = 0;
    Clock::time_point roundStart_;
    Clock::duration roundLength_{};
    uint64_t rounds_ = 0;

    Clock::time_point acceptPausedUntil_;
    bool saidOutOfDescriptors_ = false;
};

}  // namespace picture_server
