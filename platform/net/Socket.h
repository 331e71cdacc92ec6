// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

// Non-blocking IPv4 TCP and UDP sockets, the stand-in for the asynchronous sockets the picture
// link was written for. Main thread only.
namespace glassfalls::platform::net {

// An IPv4 address and port; the address in network byte order, the port in host order.
struct Endpoint {
    uint32_t address = 0;
    uint16_t port = 0;
    friend bool operator==(const Endpoint&, const Endpoint&) = default;
};

// The first IPv4 address of `host` (a name or a dotted address); nothing when it cannot be
// resolved. A name may take as long as the name server does: see HostLookup.
std::optional<uint32_t> resolveHost(const std::string& host);
// The address of a dotted host at once; nothing for a name.
std::optional<uint32_t> dottedAddress(const std::string& host);
std::string describe(const Endpoint& endpoint);

// What poll saw on a socket.
struct Readiness {
    bool readable = false;
    bool writable = false;
    bool hungUp = false;  // closed by the peer or failed
};

class Socket {
public:
    Socket() = default;
    static Socket tcp();
    static Socket udp();
    ~Socket() { close(); }
    Socket(Socket&& other) noexcept : fd_(other.release()) {}
    Socket& operator=(Socket&& other) noexcept;
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;

    int fd() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    void close();
    int release();

    // Starts connecting; true when connected or under way (see takeError once writable).
    bool connect(const Endpoint& to);
    // Binds to `port` (0: any free one) on `address` (every address by default), reusable at
    // once after a restart.
    bool bind(uint16_t port, uint32_t address = 0);
    // Where the socket is bound; for a socket bound to port 0, the port the system chose.
    Endpoint local() const;
    bool listen();
    // The next waiting connection, non-blocking too; an empty socket when there is none.
    Socket accept(Endpoint* from = nullptr);
    // The error a non-blocking connect ended with; 0 for success.
    int takeError();
    void shutdownBoth();
    // Makes a connection whose peer vanished without closing (power cut, pulled cable) fail
    // after about `idleS` + `intervalS` x `count` seconds of silence: keepalive probes, and
    // the same bound on data or a connect that is not acknowledged.
    void detectVanishedPeer(int idleS = 5, int intervalS = 2, int count = 3);
    // Send buffer size in bytes, as the system counts it.
    void setSendBuffer(int bytes);

    // Byte counts, or -1 (errno set; EAGAIN when nothing waits). receive returns 0 at the
    // end of a TCP stream.
    long send(std::span<const uint8_t> bytes);
    long receive(std::span<uint8_t> buffer, bool peek = false);
    long sendTo(std::span<const uint8_t> bytes, const Endpoint& to);
    // The datagram's whole length even when it was longer than `buffer` (the rest is lost).
    long receiveFrom(std::span<uint8_t> buffer, Endpoint& from);

    // Readiness without waiting; wantWrite adds writability (a connect finishing).
    Readiness poll(bool wantWrite = false) const;

private:
    explicit Socket(int fd) : fd_(fd) {}
    int fd_ = -1;
};

// Waits at most `timeoutMs` for any of the sockets to become readable (or to hang up); true
// when one did.
bool socketsReady(std::span<const int> fds, uint32_t timeoutMs);

}  // namespace glassfalls::platform::net
