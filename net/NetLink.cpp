#include "net/NetLink.h"

namespace glassfalls {

using platform::Message;
using platform::MessageId;
namespace net = platform::net;
namespace socketEvent = platform::socketEvent;

NetLink::~NetLink() {
    server_.shutdownBoth();
    server_.close();
    udp_.close();
}

bool NetLink::open(int, const std::string& host, int32_t port) {
    host_ = host;
    port_ = port;
    opened_ = true;
    connect();
    return true;
}

void NetLink::connect() {
    const auto address = net::resolveHost(host_);
    if (!address) return;
    serverAddress_ = {*address, static_cast<uint16_t>(port_)};
    // Not bound: the system picks a port when the registration reply is first sent from it.
    if (!udp_) udp_ = net::Socket::udp();
    connectTcp(serverAddress_);
}

bool NetLink::connectTcp(const net::Endpoint& to) {
    server_ = net::Socket::tcp();
    if (!server_ || !server_.connect(to)) {
        server_.close();
        return false;
    }
    connecting_ = true;
    return true;
}

void NetLink::collectMessages(uint32_t now, std::vector<Message>& queue) {
    if (opened_ && !server_ && now - lastAttempt_ >= kReconnectMs) {
        lastAttempt_ = now;
        connect();
    }
    if (server_ && !tcpMessageWaiting_) {
        const net::Readiness r = server_.poll(connecting_);
        int64_t event = 0;
        if (connecting_ && (r.writable || r.hungUp)) {
            connecting_ = false;
            event = server_.takeError() == 0 ? socketEvent::Connect : socketEvent::Close;
        } else if (r.readable) {
            // A readable stream with nothing in it has been closed by the server.
            uint8_t peek = 0;
            event = server_.receive({&peek, 1}, true) == 0 ? socketEvent::Close : socketEvent::Read;
        } else if (r.hungUp) {
            event = socketEvent::Close;
        }
        if (event != 0) {
            queue.push_back({MessageId::TcpSocket, static_cast<uint64_t>(server_.fd()), event});
            tcpMessageWaiting_ = true;
        }
    }
    if (udp_ && !udpMessageWaiting_ && udp_.poll().readable) {
        queue.push_back({MessageId::UdpSocket, static_cast<uint64_t>(udp_.fd()), socketEvent::Read});
        udpMessageWaiting_ = true;
    }
}

std::vector<int> NetLink::sockets() const {
    std::vector<int> fds;
    if (server_) fds.push_back(server_.fd());
    if (udp_) fds.push_back(udp_.fd());
    return fds;
}

bool NetLink::handleMessage(const Message& message) {
    if (message.id == MessageId::TcpSocket) {
        tcpMessageWaiting_ = false;
        switch (message.lParam) {
            case socketEvent::Read: onTcpRead(message); return true;
            case socketEvent::Connect: onConnect(message); return true;
            case socketEvent::Close: onClose(message); return true;
            default: return false;
        }
    }
    if (message.id == MessageId::UdpSocket) {
        udpMessageWaiting_ = false;
        if (message.lParam != socketEvent::Read) return false;
        onUdpRead(message);
        return true;
    }
    return false;
}

void NetLink::onClose(const Message& message) {
    if (!server_ || message.wParam != static_cast<uint64_t>(server_.fd())) return;
    // Pictures that still arrive by UDP are shown; the connection is made again later.
    server_.close();
    connecting_ = false;
}

bool NetLink::onTcpRead(const Message& message) {
    if (!server_ || message.wParam != static_cast<uint64_t>(server_.fd())) return false;
    const long n = server_.receive({tcpBuffer_.data(), 8});
    if (n < 0) return true;
    // Fewer than four bytes cannot hold a registration, whatever the first two say.
    if (n < 4 || tcpBuffer_[0] != 0xFF || tcpBuffer_[1] != 0xFF) {
        tcpBuffer_[static_cast<size_t>(n)] = 0;
        return false;
    }
    const uint8_t reply[4] = {0xFE, 0xFF, tcpBuffer_[2], tcpBuffer_[3]};
    udp_.sendTo(reply, serverAddress_);
    return true;
}

}  // namespace glassfalls
