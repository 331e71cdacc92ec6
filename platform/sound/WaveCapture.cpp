// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sound/WaveCapture.h"

namespace glassfalls::platform {

bool WaveCapture::collect(uint32_t now, MicrophoneBlock& block) { return source_ && source_->takeBlock(now, block); }

std::optional<uint32_t> WaveCapture::nextBlockDue() const {
    if (!source_) return std::nullopt;
    return source_->nextBlockDue();
}

}  // namespace glassfalls::platform
