// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/os/MainLoopWake.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>

#include "platform/os/Browser.h"

namespace glassfalls::platform {

namespace {
// Atomic so that a signal handler or another thread reads the descriptor whole.
std::atomic<int> descriptor{-2};
}  // namespace

int mainLoopWakeDescriptor() {
    // A page has no descriptors to wait on: the browser calls the loop once a frame.
    if constexpr (kInBrowser) return -1;
    if (descriptor.load() == -2) descriptor.store(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC));
    return descriptor.load();
}

void wakeTheMainLoop() {
    const int fd = descriptor.load();
    if (fd < 0) return;
    const uint64_t one = 1;
    // A full counter already wakes the loop; nothing is lost when the write is refused.
    [[maybe_unused]] const ssize_t written = write(fd, &one, sizeof one);
}

void clearMainLoopWake() {
    const int fd = descriptor.load();
    if (fd < 0) return;
    uint64_t count = 0;
    [[maybe_unused]] const ssize_t read = ::read(fd, &count, sizeof count);
}

}  // namespace glassfalls::platform
