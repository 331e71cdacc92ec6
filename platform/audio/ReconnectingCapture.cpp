#include "platform/audio/ReconnectingCapture.h"

#include <cstdio>

namespace glassfalls::platform {

ReconnectingCapture::ReconnectingCapture(Opener opener, std::unique_ptr<CaptureSource> device, uint32_t now)
    : opener_(std::move(opener)), device_(std::move(device)), lastAttempt_(now) {}

bool ReconnectingCapture::takeBlock(uint32_t now, int16_t* block) {
    if (device_ && device_->lost()) {
        device_.reset();
        lastAttempt_ = now;
        std::fprintf(stderr, "glassfalls: the microphone is gone; running on silence until it is back\n");
    }
    if (!device_ && now - lastAttempt_ >= kRetryMs) {
        lastAttempt_ = now;
        std::string error;
        device_ = opener_(error);
        if (device_) std::fprintf(stderr, "glassfalls: the microphone is back\n");
    }
    return device_ && device_->takeBlock(now, block);
}

}  // namespace glassfalls::platform
