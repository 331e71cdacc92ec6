#include "audio/WaveCapture.h"

#include <cstring>

namespace glassfalls {

bool WaveCapture::collect(uint32_t now) {
    if (!source_ || bufferWithProgram_) return false;
    if (!source_->takeBlock(now, samples_.data())) return false;
    bufferWithProgram_ = true;
    return true;
}

void WaveCapture::handOver(uint8_t* micSamples) {
    if (!blockHandlerReady_) return;
    blockHandlerReady_ = false;
    std::memcpy(micSamples, samples_.data(), platform::kBlockBytes);
    requeue();
    blockHandlerReady_ = true;
}

std::optional<uint32_t> WaveCapture::nextBlockDue() const {
    if (!source_ || bufferWithProgram_) return std::nullopt;
    return source_->nextBlockDue();
}

}  // namespace glassfalls
