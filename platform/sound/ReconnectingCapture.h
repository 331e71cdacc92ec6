// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/os/Reconnection.h"
#include "platform/sound/CaptureSource.h"

namespace glassfalls::platform {

// A capture device that may be unplugged and plugged back while the piece runs: while it is
// gone the piece hears silence, and every kRetryMs of the program's clock the device is
// opened again. Each change is said once on standard error. Main thread only.
class ReconnectingCapture final : public CaptureSource {
public:
    using Opener = Reconnecting<CaptureSource>::Opener;
    static constexpr uint32_t kRetryMs = 2000;

    // `device`: the one already open, or null when it could not be opened at start-up.
    ReconnectingCapture(Opener opener, std::unique_ptr<CaptureSource> device, uint32_t now);

    bool takeBlock(uint32_t now, MicrophoneBlock& block) override;
    bool listening() const { return device_.get() != nullptr; }

private:
    Reconnecting<CaptureSource> device_;
};

}  // namespace glassfalls::platform
