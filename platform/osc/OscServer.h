// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/os/Expected.h"

namespace glassfalls::platform {

// An OSC time tag: seconds since 1900 and a binary fraction of a second, as NTP counts.
struct OscTime {
    uint32_t seconds = 0;
    uint32_t fraction = 0;
    // Microseconds since 1900, for arithmetic.
    int64_t microseconds() const { return int64_t{seconds} * 1'000'000 + ((int64_t{fraction} * 1'000'000) >> 32); }
    static OscTime ofMicroseconds(int64_t microseconds) {
        const auto whole = static_cast<uint32_t>(microseconds / 1'000'000);
        const auto part = static_cast<uint64_t>(microseconds % 1'000'000);
        return {whole, static_cast<uint32_t>((part << 32) / 1'000'000)};
    }
    // The system's wall clock, which machines keep close by NTP; the piece measures how close.
    static OscTime now();
};

// One OSC message as it arrived, with where it came from so that it can be answered.
struct OscMessage {
    std::string path;
    std::string types;                 // one type tag per argument
    std::vector<double> numbers;       // the numeric arguments (i, h, f, d, T, F) in order
    std::vector<std::string> strings;  // the string arguments in order
    std::vector<uint8_t> blob;         // the last blob argument
    // The time tag of the bundle it came in; none for a message sent alone.
    std::optional<OscTime> time;
    std::string senderHost;
    std::string senderPort;
};

using OscValue = std::variant<int32_t, int64_t, float, std::string, std::vector<uint8_t>>;

// An OSC endpoint on a UDP port of every interface, read between frames without ever
// blocking: show-control systems send to it, and it answers from the same port. Main thread
// only.
class OscServer {
public:
    OscServer() = default;
    OscServer(const OscServer&) = delete;
    OscServer& operator=(const OscServer&) = delete;
    ~OscServer();

    // `port` 0 takes a free port. `what` names the option asking, for the message when it
    // cannot be taken.
    Expected<void> open(int port, const std::string& what = "--osc-port");
    // Joins the multicast `group` on `port`, beside any other program on this machine that
    // joined it.
    Expected<void> openMulticast(const std::string& group, int port, const std::string& what);
    // The UDP port it listens on.
    int port() const;
    bool isOpen() const { return server_ != nullptr; }
    void close();
    // The socket to wait on; -1 when closed.
    int socket() const;

    // Takes at most `limit` waiting packets, so that a flood cannot hold up a frame. What
    // could not be read as OSC is described in `unreadable`, one line a packet.
    std::vector<OscMessage> receive(size_t limit, std::vector<std::string>& unreadable);

    // False when the message could not be sent.
    bool send(const std::string& host, const std::string& port, const std::string& path,
              const std::vector<OscValue>& arguments);
    // The message alone in a bundle tagged with `time`, to a unicast or multicast address.
    bool sendAt(const std::string& host, const std::string& port, OscTime time, const std::string& path,
                const std::vector<OscValue>& arguments);

private:
    void adopt(void* server);

    void* server_ = nullptr;            // lo_server
    std::vector<OscMessage> incoming_;  // filled by the receive in progress
};

}  // namespace glassfalls::platform
