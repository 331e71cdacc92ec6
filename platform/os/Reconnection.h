// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/os/Expected.h"

namespace glassfalls::platform {

// The timing and the words for something the piece keeps using while it comes and goes (a
// microphone, a MIDI port, an audio output): each change is said once on standard error,
// and while it is gone it is tried again every `retryMs` of the program's clock.
class Reconnection {
public:
    // `gone` and `back` are said after "glassfalls: "; the wait for the first try starts `now`.
    Reconnection(std::string gone, std::string back, uint32_t retryMs, uint32_t now)
        : gone_(std::move(gone)), back_(std::move(back)), retryMs_(retryMs), lastAttempt_(now) {}

    // It has gone at `now`: said, and the wait for the next try starts.
    void lost(uint32_t now);
    // True when a try is due at `now`; the wait for the one after starts.
    bool due(uint32_t now);
    // A try succeeded: said.
    void regained() const;

private:
    std::string gone_;
    std::string back_;
    uint32_t retryMs_;
    uint32_t lastAttempt_;
};

// A device (anything with `bool lost() const`) kept open: once it is lost it is dropped, and
// while it is gone it is opened again whenever its Reconnection says a try is due.
template <typename Device>
class Reconnecting {
public:
    using Opener = std::function<Expected<std::unique_ptr<Device>>()>;

    // `device`: the one already open, or null when it could not be opened at start-up.
    Reconnecting(Opener opener, std::unique_ptr<Device> device, Reconnection reconnection)
        : opener_(std::move(opener)), device_(std::move(device)), reconnection_(std::move(reconnection)) {}

    // The device at `now`, after dropping it if it was lost and trying again if one is due;
    // null while it is gone.
    Device* keep(uint32_t now) {
        if (device_ && device_->lost()) {
            device_.reset();
            reconnection_.lost(now);
        }
        if (!device_ && reconnection_.due(now)) {
            if (auto opened = opener_()) {
                device_ = std::move(*opened);
                reconnection_.regained();
            }
        }
        return device_.get();
    }
    Device* get() const { return device_.get(); }

private:
    Opener opener_;
    std::unique_ptr<Device> device_;
    Reconnection reconnection_;
};

}  // namespace glassfalls::platform
