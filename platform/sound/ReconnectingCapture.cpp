// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sound/ReconnectingCapture.h"

namespace glassfalls::platform {

ReconnectingCapture::ReconnectingCapture(Opener opener, std::unique_ptr<CaptureSource> device, uint32_t now)
    : device_(std::move(opener), std::move(device),
              Reconnection("the microphone is gone; running on silence until it is back", "the microphone is back",
                           kRetryMs, now)) {}

bool ReconnectingCapture::takeBlock(uint32_t now, MicrophoneBlock& block) {
    CaptureSource* device = device_.keep(now);
    return device && device->takeBlock(now, block);
}

}  // namespace glassfalls::platform
