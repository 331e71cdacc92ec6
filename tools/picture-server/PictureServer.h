#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/net/Socket.h"
#include "tools/picture-server/PictureSource.h"

namespace picture_server {

// Serves pictures to the pieces that connect: each gets an index over TCP (FF FF and the index,
// 16 bits little-endian), answers with FE FF and the index by UDP from the address it listens
// on, and from then on receives every picture sent. Single-threaded, non-blocking.
class PictureServer {
public:
    using Log = std::function<void(const std::string& line)>;

    PictureServer(PictureSource& source, Log log) : source_(source), log_(std::move(log)) {}

    // Listens for TCP and UDP on `port`. False with the reason when the port is taken.
    bool listen(uint16_t port, std::string& error);
    // Handles every client event that is waiting, waiting up to `timeoutMs` for the first.
    void serve(uint32_t timeoutMs);
    // Sends the source's next picture to every registered client.
    void sendPicture();

    size_t clientCount() const { return clients_.size(); }
    size_t registeredCount() const;
    uint64_t picturesSent() const { return sent_; }
    uint64_t picturesDropped() const { return dropped_; }  // the system's buffer was full

private:
    struct Client {
        glassfalls::platform::net::Socket connection;
        glassfalls::platform::net::Endpoint peer;  // its TCP address
        uint16_t index = 0;
        std::optional<glassfalls::platform::net::Endpoint> pictures;  // learned from its reply
    };

    void accept();
    void readReplies();
    // False when the client has gone.
    bool stillThere(Client& client);
    uint16_t freeIndex();

    PictureSource& source_;
    Log log_;
    glassfalls::platform::net::Socket listener_;
    glassfalls::platform::net::Socket udp_;
    std::vector<Client> clients_;
    uint16_t nextIndex_ = 1;
    uint64_t sent_ = 0;
    uint64_t dropped_ = 0;
};

}  // namespace picture_server
