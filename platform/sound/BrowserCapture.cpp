// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sound/CaptureSource.h"

// In BrowserMicrophone.js, linked with the page's program.
extern "C" {
void glassfallsListenToBrowserMicrophone();
int glassfallsTakeMicrophoneSamples(int16_t* samples, int count);
}

namespace glassfalls::platform {

namespace {

// The visitor's microphone through Web Audio. A refusal, or no microphone at all, is said on
// the page and heard as silence; one allowed later is listened to from then on.
class BrowserCapture final : public CaptureSource {
public:
    BrowserCapture() { glassfallsListenToBrowserMicrophone(); }
    bool takeBlock(uint32_t, MicrophoneBlock& block) override {
        return glassfallsTakeMicrophoneSamples(block.data(), kBlockSamples) != 0;
    }
};

}  // namespace

std::unique_ptr<CaptureSource> openBrowserCapture() { return std::make_unique<BrowserCapture>(); }

}  // namespace glassfalls::platform
