// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/NetLink.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/os/Clock.h"

namespace glassfalls {

namespace net = platform::net;

namespace {
constexpr const char* kTryingAgain = "; trying again every 3 seconds";
constexpr size_t kRegistrationBytes = 4;
constexpr size_t kMostTcpBytes = 8;  // read at a time, as the link was designed
}  // namespace

NetLink::~NetLink() {
    server_.shutdownBoth();
    server_.close();
    udp_.close();
}

platform::Expected<void> NetLink::open(const std::string& host, int32_t port) {
    host_ = host;
    port_ = port;
    opened_ = true;
    startTry(0);
    return {};
}

void NetLink::say(const std::string& what) {
    if (what == lastSaid_) return;
    lastSaid_ = what;
    std::fprintf(stderr, "glassfalls: picture server %s:%d: %s\n", host_.c_str(), static_cast<int>(port_),
                 what.c_str());
}

void NetLink::sayCannotConnect(int error) {
    say(std::string("cannot connect (") + std::strerror(error) + ")" + kTryingAgain);
}

void NetLink::startTry(uint32_t now) {
    tryUnderWay_ = true;
    lookup_ = std::make_unique<net::HostLookup>(host_);
    continueLookup(now);
}

void NetLink::continueLookup(uint32_t now) {
    switch (lookup_->outcome()) {
        case net::HostLookup::Outcome::UnderWay: return;
        case net::HostLookup::Outcome::NotFound:
            lookup_.reset();
            say(std::string("cannot find the host") + kTryingAgain);
            tryEnded(now);
            return;
        case net::HostLookup::Outcome::Found: {
            const uint32_t address = lookup_->address();
            lookup_.reset();
            connectTo(address, now);
            return;
        }
    }
}

void NetLink::connectTo(uint32_t address, uint32_t now) {
    serverAddress_ = {address, static_cast<uint16_t>(port_)};
    // Not bound: the system picks a port when the registration reply is first sent from it.
    if (!udp_) udp_ = net::Socket::udp();
    server_ = net::Socket::tcp();
    if (server_) server_.detectVanishedPeer();
    if (!server_ || !server_.connect(serverAddress_)) {
        sayCannotConnect(errno);
        server_.close();
        tryEnded(now);
        return;
    }
    connecting_ = true;
    wasConnected_ = false;
    tcpGathered_ = 0;
}

void NetLink::tryEnded(uint32_t now) {
    tryUnderWay_ = false;
    connecting_ = false;
    nextTryAt_ = now + kRetryMs;
}

void NetLink::poll(uint32_t now) {
    // open has no clock: a try that ended there waits from the first time the clock is seen.
    if (!clockSeen_ && !tryUnderWay_) nextTryAt_ = now + kRetryMs;
    clockSeen_ = true;
    now_ = now;
    if (lookup_) continueLookup(now);
    if (opened_ && !tryUnderWay_ && platform::ticksUntil(nextTryAt_, now) >= 0) startTry(now);
    if (replyPending_ && server_ && platform::ticksUntil(nextReplyAt_, now) >= 0) sendReply();
    if (server_) pollServer();
    if (udp_ && udp_.poll().readable) onUdpRead();
}

void NetLink::pollServer() {
    const net::Readiness r = server_.poll(connecting_);
    if (connecting_) {
        if (!r.writable && !r.hungUp) return;
        connecting_ = false;
        if (const int error = server_.takeError(); error != 0) {
            sayCannotConnect(error);
            onClose();
            return;
        }
        wasConnected_ = true;
        return;
    }
    if (r.readable) {
        // A readable stream with nothing in it has been closed by the server; one with an
        // error was reset, or its server fell silent for longer than the keepalive allows.
        uint8_t peek = 0;
        const long n = server_.receive({&peek, 1}, true);
        const bool failed = n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK);
        if (failed) {
            onClose();
        } else {
            onTcpRead();
        }
    } else if (r.hungUp) {
        onClose();
    }
}

void NetLink::addSockets(std::vector<int>& into) const {
    if (server_) into.push_back(server_.fd());
    if (udp_) into.push_back(udp_.fd());
}

void NetLink::onClose() {
    if (!server_) return;
    // Closed, reset, or silent for longer than the keepalive allows. Pictures that still
    // arrive by UDP are shown; the connection is made again later.
    if (wasConnected_) say(std::string("gone") + kTryingAgain);
    server_.close();
    replyPending_ = false;
    wasConnected_ = false;
    tryEnded(now_);
}

void NetLink::onTcpRead() {
    if (!server_) return;
    const long n = server_.receive({tcpBuffer_.data() + tcpGathered_, kMostTcpBytes - tcpGathered_});
    if (n < 0) return;
    tcpGathered_ += static_cast<size_t>(n);
    // A registration may come in pieces; whatever does not start FF FF is other data.
    for (size_t i = 0; i < tcpGathered_ && i < 2; ++i) {
        if (tcpBuffer_[i] != 0xFF) {
            tcpGathered_ = 0;
            return;
        }
    }
    if (tcpGathered_ < kRegistrationBytes) return;
    index_ = static_cast<uint16_t>(tcpBuffer_[2] | tcpBuffer_[3] << 8);
    tcpGathered_ = 0;
    say("connected; registered as index " + std::to_string(index_));
    // The reply goes by UDP and may be lost: it is sent again until a picture shows it came.
    replyPending_ = true;
    sendReply();
}

void NetLink::sendReply() {
    const uint8_t reply[4] = {0xFE, 0xFF, static_cast<uint8_t>(index_ & 0xFF), static_cast<uint8_t>(index_ >> 8)};
    udp_.sendTo(reply, serverAddress_);
    nextReplyAt_ = now_ + kRetryMs;
}

}  // namespace glassfalls
