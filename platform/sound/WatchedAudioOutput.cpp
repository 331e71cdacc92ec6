// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sound/WatchedAudioOutput.h"

#include <chrono>

#include "platform/os/Clock.h"

namespace glassfalls::platform {

namespace {

// How long closing waits, at the end of the run, for outputs still stopping; one that hangs
// is left to the end of the process rather than holding up the exit.
constexpr auto kExitWait = std::chrono::seconds(1);

}  // namespace

void RenderTap::play(int frames, float* left, float* right) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (render_) render_(frames, left, right);
    }
    blocks_.fetch_add(1, std::memory_order_relaxed);
}

void RenderTap::cut() {
    std::lock_guard<std::mutex> lock(mutex_);
    render_ = nullptr;
}

WatchedAudioOutput::WatchedAudioOutput(AudioOutputOpener opener, RenderTap::Render render, Clock& clock,
                                       std::string name)
    : opener_(std::move(opener)),
      render_(std::move(render)),
      clock_(clock),
      reconnection_(name + " is gone; its notes are dropped until it is back", name + " is back", kRetryMs,
                    clock.now()) {}

WatchedAudioOutput::~WatchedAudioOutput() {
    giveUp();
    const auto deadline = std::chrono::steady_clock::now() + kExitWait;
    for (Retired& retired : retired_) {
        while (!retired.done->load() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        if (retired.done->load()) {
            retired.thread.join();
        } else {
            retired.thread.detach();
        }
    }
}

Expected<void> WatchedAudioOutput::open() {
    auto tap = std::make_shared<RenderTap>(render_);
    auto output = opener_(tap);
    if (!output) return failure(output.error());
    output_ = std::move(*output);
    tap_ = std::move(tap);
    lastBlocks_ = tap_->blocks();
    lastBlockTime_ = clock_.now();
    return {};
}

void WatchedAudioOutput::watch() {
    joinFinished();
    const uint32_t now = clock_.now();
    if (output_) {
        const uint64_t blocks = tap_->blocks();
        if (blocks != lastBlocks_) {
            lastBlocks_ = blocks;
            lastBlockTime_ = now;
        } else if (now - lastBlockTime_ >= kStallMs) {
            giveUp();
            reconnection_.lost(now);
        }
        return;
    }
    if (reconnection_.due(now) && open()) reconnection_.regained();
}

void WatchedAudioOutput::giveUp() {
    if (!output_) return;
    tap_->cut();
    tap_.reset();
    auto done = std::make_shared<std::atomic<bool>>(false);
    std::thread thread([output = std::move(output_), done]() mutable {
        output.reset();
        done->store(true);
    });
    retired_.push_back({std::move(thread), std::move(done)});
}

void WatchedAudioOutput::joinFinished() {
    std::erase_if(retired_, [](Retired& retired) {
        if (!retired.done->load()) return false;
        retired.thread.join();
        return true;
    });
}

}  // namespace glassfalls::platform
