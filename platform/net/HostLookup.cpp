// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/net/HostLookup.h"

#include <atomic>
#include <thread>

#include "platform/net/Socket.h"

namespace glassfalls::platform::net {

// Shared by the asker and the lookup's thread, so that whichever lets go last frees it.
struct HostLookup::Answer {
    std::atomic<HostLookup::Outcome> outcome{HostLookup::Outcome::UnderWay};
    uint32_t address = 0;  // written before outcome, read after it
};

HostLookup::HostLookup(const std::string& host) : answer_(std::make_shared<Answer>()) {
    if (const auto dotted = dottedAddress(host)) {
        answer_->address = *dotted;
        answer_->outcome = Outcome::Found;
        return;
    }
    std::thread([answer = answer_, host] {
        const auto found = resolveHost(host);
        if (found) answer->address = *found;
        answer->outcome.store(found ? Outcome::Found : Outcome::NotFound, std::memory_order_release);
    }).detach();
}

HostLookup::Outcome HostLookup::outcome() const { return answer_->outcome.load(std::memory_order_acquire); }

uint32_t HostLookup::address() const { return answer_->address; }

}  // namespace glassfalls::platform::net
