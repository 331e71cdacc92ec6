#include "platform/audio/ReconnectingCapture.h"

namespace glassfalls::platform {

ReconnectingCapture::ReconnectingCapture(Opener opener, std::unique_ptr<CaptureSource> device, uint32_t now)
    : opener_(std::move(opener)),
      device_(std::move(device)),
      reconnection_("the microphone is gone; running on silence until it is back", "the microphone is back", kRetryMs,
                    now) {}

bool ReconnectingCapture::takeBlock(uint32_t now, MicrophoneBlock& block) {
    if (device_ && device_->lost()) {
        device_.reset();
        reconnection_.lost(now);
    }
    if (!device_ && reconnection_.due(now)) {
        std::string error;
        device_ = opener_(error);
        if (device_) reconnection_.regained();
    }
    return device_ && device_->takeBlock(now, block);
}

}  // namespace glassfalls::platform
