// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/net/HostLookup.h"
#include "platform/net/Socket.h"
#include "platform/os/Expected.h"

namespace glassfalls {

// The connection to a picture server: a TCP connection that carries the registration, and a
// UDP socket on the same port number on which pictures arrive. The main loop polls it between
// frames; nothing it does waits on the network: names are looked up on a thread of their own.
class NetLink {
public:
    NetLink() = default;
    NetLink(const NetLink&) = delete;
    NetLink& operator=(const NetLink&) = delete;
    // Closes the server connection (shut down both ways), then the UDP socket. A lookup
    // still under way is not waited for.
    virtual ~NetLink();

    // Between the end of one try and the next, and between two registration replies while
    // no picture has come.
    static constexpr uint32_t kRetryMs = 3000;

    // Starts connecting to `host`:`port` by TCP and aims the UDP socket there. A host that
    // cannot be found, a server that is not there or sockets that cannot be made leave a
    // link that receives nothing yet; open still succeeds.
    virtual platform::Expected<void> open(const std::string& host, int32_t port);

    // Main thread, between frames: moves the connection on and handles what its sockets have
    // ready. Without a connection to the server it tries again kRetryMs of the program's
    // clock (`now`, in ms) after a try ended, so an installation outlives its server's
    // restarts. Never waits.
    void poll(uint32_t now);
    // The sockets whose readiness should wake the main loop, added to `into`.
    void addSockets(std::vector<int>& into) const;

    const std::string& host() const { return host_; }
    int32_t port() const { return port_; }
    bool connectedToServer() const { return static_cast<bool>(server_); }

protected:
    virtual void onClose();
    // A registration (FF FF and this client's index, gathered across reads) is answered with
    // FE FF and the index by UDP to the server's address; other data is dropped.
    virtual void onTcpRead();
    virtual void onUdpRead() = 0;
    // A whole picture came from the server: the registration reply reached it.
    void pictureArrived() { replyPending_ = false; }

    platform::net::Socket udp_;
    platform::net::Endpoint serverAddress_;  // the server's UDP address
    std::array<uint8_t, 256> tcpBuffer_{};

private:
    // Each change of the connection is said once on standard error.
    void say(const std::string& what);
    void sayCannotConnect(int error);
    void startTry(uint32_t now);
    void continueLookup(uint32_t now);
    void connectTo(uint32_t address, uint32_t now);
    // A try ended without a connection, or the connection ended: the next is due kRetryMs on.
    void tryEnded(uint32_t now);
    void sendReply();
    void pollServer();

    platform::net::Socket server_;  // the TCP connection
    std::unique_ptr<platform::net::HostLookup> lookup_;
    bool connecting_ = false;
    bool wasConnected_ = false;  // this connection was made, so losing it is "gone"
    bool opened_ = false;
    bool tryUnderWay_ = false;
    bool clockSeen_ = false;
    uint32_t now_ = 0;  // the clock of the last poll
    uint32_t nextTryAt_ = 0;
    size_t tcpGathered_ = 0;     // registration bytes gathered in tcpBuffer_
    bool replyPending_ = false;  // registered, no picture yet: the reply is sent again
    uint32_t nextReplyAt_ = 0;
    uint16_t index_ = 0;
    std::string lastSaid_;
    std::string host_;
    int32_t port_ = 0;
};

}  // namespace glassfalls
