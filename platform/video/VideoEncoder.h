#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace glassfalls::platform {

// Whether `program` is an executable file in one of the PATH's folders.
bool onPath(const std::string& program);

// Makes a video with ffmpeg: frames are fed through a pipe while the piece runs (no frame
// files), encoded with H.264; at the end the sound track is added with AAC. Main thread only.
class VideoEncoder {
public:
    VideoEncoder() = default;
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;
    // An unfinished video is abandoned and its partial file removed.
    ~VideoEncoder();

    // Starts ffmpeg for `width` x `height` frames at `framesPerSecond`. False with the reason.
    bool open(const std::string& path, int width, int height, int framesPerSecond, std::string& error);
    bool isOpen() const { return pipe_ != nullptr; }
    // One frame of 0xAARRGGBB pixels, row 0 at the top.
    void write(const std::vector<uint32_t>& pixels);
    // Ends the video and adds `soundFile` (a WAV; empty: none) as its sound. False with the reason.
    bool finish(const std::string& soundFile, std::string& error);

private:
    std::FILE* pipe_ = nullptr;
    std::string path_;
    std::string partial_;  // the video without sound, until finish
    size_t frameBytes_ = 0;
};

}  // namespace glassfalls::platform
