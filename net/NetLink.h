#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/net/Socket.h"
#include "platform/window/Message.h"

namespace glassfalls {

// The connection to a picture server: a TCP connection that carries the registration, and a
// UDP socket on the same port number on which pictures arrive. Socket readiness reaches it as
// the two socket messages, on the main thread between frames.
class NetLink {
public:
    static constexpr int kConnectingRole = 1;

    NetLink() = default;
    NetLink(const NetLink&) = delete;
    NetLink& operator=(const NetLink&) = delete;
    // Closes the server connection (shut down both ways), then the UDP socket.
    virtual ~NetLink();

    static constexpr uint32_t kReconnectMs = 3000;

    // Starts connecting to `host`:`port` by TCP and aims the UDP socket there. A host that
    // cannot be resolved, a server that is not there or sockets that cannot be made leave a
    // link that receives nothing yet; open still succeeds.
    virtual bool open(int role, const std::string& host, int32_t port);

    // Turns the sockets' readiness into socket messages, at most one waiting per socket.
    // Without a connection to the server it tries again every kReconnectMs of the program's
    // clock (`now`, in ms), so an installation outlives its server's restarts. Never waits.
    void collectMessages(uint32_t now, std::vector<platform::Message>& messages);
    // The sockets whose readiness should wake the main loop.
    std::vector<int> sockets() const;
    // Acts on its own socket messages (true when it did); ignores every other message.
    bool handleMessage(const platform::Message& message);

    const std::string& host() const { return host_; }
    int32_t port() const { return port_; }
    bool connectedToServer() const { return static_cast<bool>(server_); }

protected:
    virtual void onConnect(const platform::Message&) {}
    virtual void onClose(const platform::Message& message);
    // A registration (FF FF and this client's index) is answered with FE FF and the index by
    // UDP to the server's address.
    virtual bool onTcpRead(const platform::Message& message);
    virtual bool onUdpRead(const platform::Message& message) = 0;

    platform::net::Socket udp_;
    platform::net::Endpoint serverAddress_;  // the server's UDP address
    std::array<uint8_t, 256> tcpBuffer_{};

private:
    // Resolves the host and starts connecting; the UDP socket is made once and kept.
    void connect();
    bool connectTcp(const platform::net::Endpoint& to);

    platform::net::Socket server_;  // the TCP connection
    bool connecting_ = false;
    bool opened_ = false;
    uint32_t lastAttempt_ = 0;
    bool tcpMessageWaiting_ = false;
    bool udpMessageWaiting_ = false;
    std::string host_;
    int32_t port_ = 0;
};

}  // namespace glassfalls
