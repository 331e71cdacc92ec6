#pragma once

#include <cstdint>
#include <string>

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

}  // namespace glassfalls::platform
