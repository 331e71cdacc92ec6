// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "platform/os/Expected.h"

namespace glassfalls::platform {

// One OSC message as it arrived, with where it came from so that it can be answered.
struct OscMessage {
    std::string path;
    std::string types;            // one type tag per argument
    std::vector<double> numbers;  // the numeric arguments (i, h, f, d, T, F) in order
    std::string senderHost;
    std::string senderPort;
};

using OscValue = std::variant<int32_t, float, std::string>;

// An OSC endpoint on a UDP port of every interface, read between frames without ever
// blocking: show-control systems send to it, and it answers from the same port. Main thread
// only.
class OscServer {
public:
    OscServer() = default;
    OscServer(const OscServer&) = delete;
    OscServer& operator=(const OscServer&) = delete;
    ~OscServer();

    Expected<void> open(int port);
    bool isOpen() const { return server_ != nullptr; }
    // The socket to wait on; -1 when closed.
    int socket() const;

    // Takes at most `limit` waiting packets, so that a flood cannot hold up a frame. What
    // could not be read as OSC is described in `unreadable`, one line a packet.
    std::vector<OscMessage> receive(size_t limit, std::vector<std::string>& unreadable);

    // False when the message could not be sent.
    bool send(const std::string& host, const std::string& port, const std::string& path,
              const std::vector<OscValue>& arguments);

private:
    void* server_ = nullptr;            // lo_server
    std::vector<OscMessage> incoming_;  // filled by the receive in progress
};

}  // namespace glassfalls::platform
