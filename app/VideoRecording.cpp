#include "app/VideoRecording.h"

namespace glassfalls {

bool VideoRecording::open(const std::string& path, uint32_t start, std::string& error) {
    if (!platform::onPath("ffmpeg")) {
        error = "--video needs ffmpeg, which is not installed: sudo apt-get install ffmpeg";
        return false;
    }
    start_ = start;
    frame_.assign(640 * 480, 0xFF000000u);
    return encoder_.open(path, 640, 480, kFramesPerSecond, error);
}

void VideoRecording::writeUntil(uint32_t now) {
    while (written_ * 1000 < uint64_t{now - start_} * kFramesPerSecond) {
        encoder_.write(frame_);
        ++written_;
    }
}

void VideoRecording::afterAdvance(uint32_t now, platform::gfx::GraphicsDevice& device) {
    if (!encoder_.isOpen()) return;
    writeUntil(now);
    device.readBackBuffer(frame_);
}

bool VideoRecording::finish(uint32_t end, const std::string& soundFile, std::string& error) {
    if (!encoder_.isOpen()) return true;
    writeUntil(end);
    return encoder_.finish(soundFile, error);
}

}  // namespace glassfalls
