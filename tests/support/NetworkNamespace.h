// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <fcntl.h>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace glassfalls::test_support {

inline bool bringLoopbackUp() {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ifreq request{};
    std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
    bool up = fd >= 0 && ioctl(fd, SIOCGIFFLAGS, &request) == 0;
    request.ifr_flags = static_cast<short>(request.ifr_flags | IFF_UP);
    up = up && ioctl(fd, SIOCSIFFLAGS, &request) == 0;
    if (fd >= 0) ::close(fd);
    return up;
}

// What an answer starts with when the test cannot run here; the reason follows.
inline constexpr const char* kSkipped = "\x01";

// Runs `body` in a child process inside a network and a mount namespace of its own, with
// only loopback, up: whatever it does to its network (shaping, links, a name server) stays
// there. The body answers an empty string when it passed, or what went wrong, or kSkipped
// and why it cannot run. Namespaces that cannot be made (not root, a sandbox that forbids
// them) are such an answer.
inline std::string inNetworkNamespace(const std::function<std::string()>& body) {
    int channel[2];
    if (pipe2(channel, O_CLOEXEC) != 0) return "cannot make a pipe";
    const pid_t child = fork();
    if (child == 0) {
        ::close(channel[0]);
        std::string result;
        if (unshare(CLONE_NEWNET | CLONE_NEWNS) != 0 ||
            mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
            result = std::string(kSkipped) + "network namespaces cannot be made here (they need root)";
        } else if (!bringLoopbackUp()) {
            result = "cannot bring loopback up in the namespace";
        } else {
            result = body();
        }
        ssize_t ignored = write(channel[1], result.data(), result.size());
        (void)ignored;
        _exit(0);
    }
    ::close(channel[1]);
    std::string said;
    char buffer[512];
    for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) > 0;) said.append(buffer, static_cast<size_t>(n));
    ::close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status)) return "the namespace's process ended abnormally";
    return said;
}

// Runs a shell command line; true when it succeeded.
inline bool shell(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

}  // namespace glassfalls::test_support
