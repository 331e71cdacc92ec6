// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace glassfalls::test_support {

// A port of the socket type (SOCK_DGRAM, SOCK_STREAM) nothing holds at the moment, the system's own choice: tests run
// in parallel and may not agree on fixed ports.
inline int freePort(int type) {
    const int s = ::socket(AF_INET, type, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ::bind(s, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &size);
    ::close(s);
    return ntohs(address.sin_port);
}
inline int freeUdpPort() { return freePort(SOCK_DGRAM); }
inline int freeTcpPort() { return freePort(SOCK_STREAM); }

}  // namespace glassfalls::test_support
