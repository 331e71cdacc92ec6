// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace glassfalls::platform::net {

// Looks a host name up on a thread of its own: a name server that does not answer blocks
// that thread for its timeout, never the frames. Made and asked on one thread.
class HostLookup {
public:
    enum class Outcome { UnderWay, Found, NotFound };

    // Starts looking `host` up; a dotted address is found at once, without a thread.
    explicit HostLookup(const std::string& host);
    // Does not wait: a lookup still under way ends on its own thread and its answer is
    // dropped, so a hanging name server never holds up the end of the program.
    ~HostLookup() = default;
    HostLookup(const HostLookup&) = delete;
    HostLookup& operator=(const HostLookup&) = delete;

    Outcome outcome() const;
    // The address (network order) once found.
    uint32_t address() const;

private:
    struct Answer;
    std::shared_ptr<Answer> answer_;
};

}  // namespace glassfalls::platform::net
