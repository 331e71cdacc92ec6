// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/os/Reconnection.h"

namespace glassfalls::platform {

class Clock;

// What an audio output's own thread calls for every block it plays. The output holds it
// after it is given up, so a thread that wakes late finds it cut and plays silence instead
// of reaching a synthesiser that may be gone.
class RenderTap {
public:
    using Render = std::function<void(int frames, float* left, float* right)>;

    explicit RenderTap(Render render) : render_(std::move(render)) {}
    void play(int frames, float* left, float* right);
    void cut();
    uint64_t blocks() const { return blocks_.load(std::memory_order_relaxed); }

private:
    std::mutex mutex_;
    Render render_;
    std::atomic<uint64_t> blocks_{0};
};

// A running audio output; it plays until it is destroyed, and destroying it may wait for
// its thread.
class AudioOutput {
public:
    virtual ~AudioOutput() = default;
};

using AudioOutputOpener = std::function<Expected<std::unique_ptr<AudioOutput>>(std::shared_ptr<RenderTap> tap)>;

// An audio output that may go away while the piece runs (the sound server restarting, a USB
// card unplugged). Outputs end their thread on such an error, so an output whose blocks stop
// for kStallMs of the program's clock is taken as gone; every kRetryMs after that, at a
// frame, one is opened again. Each change is said once. An output is stopped on a thread of
// its own, so a frame never waits for one that hangs.
class WatchedAudioOutput {
public:
    static constexpr uint32_t kStallMs = 2000;
    static constexpr uint32_t kRetryMs = 3000;

    WatchedAudioOutput(AudioOutputOpener opener, RenderTap::Render render, Clock& clock, std::string name);
    ~WatchedAudioOutput();
    WatchedAudioOutput(const WatchedAudioOutput&) = delete;
    WatchedAudioOutput& operator=(const WatchedAudioOutput&) = delete;

    // Fails when no output opens now; watch() tries again.
    Expected<void> open();
    // Once a frame: notices an output that stopped playing and opens a new one when due.
    void watch();
    bool playing() const { return output_ != nullptr; }

private:
    struct Retired {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };

    void giveUp();
    void joinFinished();

    AudioOutputOpener opener_;
    RenderTap::Render render_;
    Clock& clock_;
    Reconnection reconnection_;
    std::shared_ptr<RenderTap> tap_;
    std::unique_ptr<AudioOutput> output_;
    uint64_t lastBlocks_ = 0;
    uint32_t lastBlockTime_ = 0;
    std::vector<Retired> retired_;
};

}  // namespace glassfalls::platform
