#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/gfx/GraphicsDevice.h"
#include "platform/video/VideoEncoder.h"

namespace glassfalls {

// The frames of a headless run as a video at a steady rate: every frame the piece draws
// stays in the video until the next one is drawn, so the video runs on the program's clock.
class VideoRecording {
public:
    static constexpr int kFramesPerSecond = 30;

    // Starts the video at `start` on the program's clock. False with the reason, also when
    // ffmpeg is not installed.
    bool open(const std::string& path, uint32_t start, std::string& error);
    bool isOpen() const { return encoder_.isOpen(); }
    // After the scene advance at `now`: the video catches up to now, then shows this frame.
    void afterAdvance(uint32_t now, platform::gfx::GraphicsDevice& device);
    // Ends the video at `end`, with `soundFile` (a WAV; empty: none) as its sound.
    bool finish(uint32_t end, const std::string& soundFile, std::string& error);

private:
    void writeUntil(uint32_t now);

    platform::VideoEncoder encoder_;
    std::vector<uint32_t> frame_;  // what the video shows now
    uint32_t start_ = 0;
    uint64_t written_ = 0;  // video frames so far
};

}  // namespace glassfalls
