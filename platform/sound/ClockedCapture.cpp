// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>

#include "platform/os/Clock.h"
#include "platform/sound/CaptureSource.h"

namespace glassfalls::platform {

namespace {

// Recorded sound that arrives at the pace of the program's clock, so that a headless run on
// the virtual clock hears exactly the same blocks every time.
class ClockedCapture final : public CaptureSource {
public:
    ClockedCapture(std::vector<int16_t> samples, uint32_t start)
        : samples_(std::move(samples)), nextDue_(start + kBlockMs) {}

    bool takeBlock(uint32_t now, MicrophoneBlock& block) override {
        if (ticksUntil(now, nextDue_) > 0) return false;
        // A late caller gets the newest finished block; older ones are lost, as they would be
        // from a microphone whose buffer was not handed back in time.
        const uint32_t late = static_cast<uint32_t>(-ticksUntil(now, nextDue_)) / kBlockMs;
        blockIndex_ += late;
        const size_t first = static_cast<size_t>(blockIndex_) * kBlockSamples;
        block.fill(0);
        if (first < samples_.size()) {
            const size_t count = std::min<size_t>(kBlockSamples, samples_.size() - first);
            std::copy_n(samples_.begin() + static_cast<std::ptrdiff_t>(first), count, block.begin());
        }
        ++blockIndex_;
        nextDue_ += (late + 1) * kBlockMs;
        return true;
    }

    std::optional<uint32_t> nextBlockDue() const override { return nextDue_; }

    bool ended() const override { return blockIndex_ * kBlockSamples >= samples_.size(); }

private:
    std::vector<int16_t> samples_;
    uint64_t blockIndex_ = 0;
    uint32_t nextDue_;
};

}  // namespace

std::unique_ptr<CaptureSource> makeClockedCapture(std::vector<int16_t> samples, uint32_t start) {
    return std::make_unique<ClockedCapture>(std::move(samples), start);
}

}  // namespace glassfalls::platform
