// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/net/Socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace glassfalls::platform::net {

namespace {

sockaddr_in toSockaddr(const Endpoint& e) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(e.port);
    a.sin_addr.s_addr = e.address;
    return a;
}

Endpoint fromSockaddr(const sockaddr_in& a) { return {a.sin_addr.s_addr, ntohs(a.sin_port)}; }

int openNonBlocking(int type) { return ::socket(AF_INET, type | SOCK_NONBLOCK | SOCK_CLOEXEC, 0); }

}  // namespace

std::optional<uint32_t> dottedAddress(const std::string& host) {
    in_addr dotted{};
    if (inet_pton(AF_INET, host.c_str(), &dotted) != 1) return std::nullopt;
    return dotted.s_addr;
}

std::optional<uint32_t> resolveHost(const std::string& host) {
    if (const auto dotted = dottedAddress(host)) return dotted;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found) return std::nullopt;
    const uint32_t address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
    freeaddrinfo(found);
    return address;
}

std::string describe(const Endpoint& endpoint) {
    char text[INET_ADDRSTRLEN] = {};
    in_addr a{};
    a.s_addr = endpoint.address;
    inet_ntop(AF_INET, &a, text, sizeof text);
    return std::string(text) + ":" + std::to_string(endpoint.port);
}

Socket Socket::tcp() { return Socket(openNonBlocking(SOCK_STREAM)); }
Socket Socket::udp() { return Socket(openNonBlocking(SOCK_DGRAM)); }

Socket& Socket::operator=(Socket&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = other.release();
    }
    return *this;
}

void Socket::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

int Socket::release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

bool Socket::connect(const Endpoint& to) {
    const sockaddr_in a = toSockaddr(to);
    return ::connect(fd_, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0 || errno == EINPROGRESS;
}

bool Socket::bind(uint16_t port, uint32_t address) {
    const int on = 1;
    setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    const sockaddr_in a = toSockaddr({address, port});
    return ::bind(fd_, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0;
}

Endpoint Socket::local() const {
    sockaddr_in a{};
    socklen_t length = sizeof a;
    if (getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &length) != 0) return {};
    return fromSockaddr(a);
}

bool Socket::listen() { return ::listen(fd_, 64) == 0; }

Socket Socket::accept(Endpoint* from) {
    sockaddr_in a{};
    socklen_t length = sizeof a;
    const int fd = ::accept4(fd_, reinterpret_cast<sockaddr*>(&a), &length, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd >= 0 && from) *from = fromSockaddr(a);
    return Socket(fd);
}

int Socket::takeError() {
    int error = 0;
    socklen_t length = sizeof error;
    if (getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &length) != 0) return errno;
    return error;
}

void Socket::detectVanishedPeer(int idleS, int intervalS, int count) {
    const int on = 1;
    const unsigned int userTimeoutMs = static_cast<unsigned int>((idleS + intervalS * count) * 1000);
    setsockopt(fd_, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
    setsockopt(fd_, IPPROTO_TCP, TCP_KEEPIDLE, &idleS, sizeof idleS);
    setsockopt(fd_, IPPROTO_TCP, TCP_KEEPINTVL, &intervalS, sizeof intervalS);
    setsockopt(fd_, IPPROTO_TCP, TCP_KEEPCNT, &count, sizeof count);
    setsockopt(fd_, IPPROTO_TCP, TCP_USER_TIMEOUT, &userTimeoutMs, sizeof userTimeoutMs);
}

void Socket::setSendBuffer(int bytes) { setsockopt(fd_, SOL_SOCKET, SO_SNDBUF, &bytes, sizeof bytes); }

void Socket::shutdownBoth() {
    if (fd_ >= 0) ::shutdown(fd_, SHUT_RDWR);
}

long Socket::send(std::span<const uint8_t> bytes) { return ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL); }

long Socket::receive(std::span<uint8_t> buffer, bool peek) {
    return ::recv(fd_, buffer.data(), buffer.size(), peek ? MSG_PEEK : 0);
}

long Socket::sendTo(std::span<const uint8_t> bytes, const Endpoint& to) {
    const sockaddr_in a = toSockaddr(to);
    return ::sendto(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&a), sizeof a);
}

long Socket::receiveFrom(std::span<uint8_t> buffer, Endpoint& from) {
    sockaddr_in a{};
    socklen_t length = sizeof a;
    const long n = ::recvfrom(fd_, buffer.data(), buffer.size(), MSG_TRUNC, reinterpret_cast<sockaddr*>(&a), &length);
    if (n >= 0) from = fromSockaddr(a);
    return n;
}

Readiness Socket::poll(bool wantWrite) const {
    pollfd p{fd_, static_cast<short>(POLLIN | (wantWrite ? POLLOUT : 0)), 0};
    Readiness r;
    if (fd_ < 0 || ::poll(&p, 1, 0) <= 0) return r;
    r.readable = (p.revents & POLLIN) != 0;
    r.writable = (p.revents & POLLOUT) != 0;
    r.hungUp = (p.revents & (POLLHUP | POLLERR)) != 0;
    return r;
}

bool socketsReady(std::span<const int> fds, uint32_t timeoutMs) {
    std::vector<pollfd> polled;
    for (const int fd : fds) polled.push_back({fd, POLLIN, 0});
    return ::poll(polled.data(), polled.size(), static_cast<int>(std::min<uint32_t>(timeoutMs, 1u << 30))) > 0;
}

}  // namespace glassfalls::platform::net
