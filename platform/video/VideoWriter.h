// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/video/VideoEncoder.h"

namespace glassfalls::platform {

// A video encoded on a thread of its own, so that encoding a frame overlaps drawing the next.
// The caller hands frames and sound over in order; a frame shows until the next one, the
// last until finish(). At most kFramesWaiting frames wait for the encoder, after which
// handing one over waits for it: memory stays bounded and no frame is dropped. Frame
// buffers go round between caller and encoder, so none is made after the first few.
// Calls from one thread.
class VideoWriter {
public:
    static constexpr size_t kFramesWaiting = 3;

    VideoWriter() = default;
    VideoWriter(const VideoWriter&) = delete;
    VideoWriter& operator=(const VideoWriter&) = delete;
    // Finishes the video unless finish() was called; a video with no frame is removed, unless
    // its file was there before.
    ~VideoWriter();

    // Opens the file here, so that a mistake is told at once, then starts the encoder's thread.
    Expected<void> open(const std::string& path, const VideoFormat& format);
    bool isOpen() const { return worker_.joinable(); }
    // The frame of 0xAARRGGBB pixels (row 0 at the top) shown from `ms` after the start;
    // `pixels` comes back holding a spare buffer of any contents. A frame at the time of the
    // one before replaces it.
    void addFrame(std::vector<uint32_t>& pixels, int64_t ms);
    void addSound(const float* left, const float* right, size_t count);
    // The first thing that went wrong in the encoder, after which it encodes nothing more.
    std::optional<std::string> firstFailure();
    // The last frame shows until `ms`; then the file is completed.
    Expected<void> finish(int64_t ms);

private:
    struct Job {
        enum class Kind { Frame, Sound, End } kind;
        int64_t ms = 0;
        std::vector<uint32_t> pixels;
        std::vector<float> left, right;
    };
    void push(Job job);
    void run();
    // On the encoder's thread: what one job asks.
    Expected<void> work(Job& job);

    std::string path_;
    std::unique_ptr<VideoEncoder> encoder_;  // the worker's alone once it runs
    std::thread worker_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Job> jobs_;
    std::vector<std::vector<uint32_t>> spare_;  // frame buffers the encoder is done with
    size_t framesWaiting_ = 0;
    std::optional<std::string> failure_;
    bool anyFrame_ = false;
    bool wasThere_ = false;  // a file of that name was there before: never removed
    int64_t lastMs_ = 0;     // of the last frame handed over
    // The worker's: the frame shown last, encoded once the next one says how long it shows.
    std::optional<Job> held_;
};

}  // namespace glassfalls::platform
