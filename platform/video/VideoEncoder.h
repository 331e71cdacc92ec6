#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace glassfalls::platform {

struct VideoFormat {
    int width = 0;
    int height = 0;
    int soundRate = 0;  // stereo at this rate; 0: no sound track
};

// Writes a video: H.264 and AAC in the container the file's name asks for (.mp4, .mkv, .mov,
// ...), in one pass. Frames come with their own times, in milliseconds from the start, so the
// video keeps the piece's timing exactly however unevenly frames come. One thread at a time.
class VideoEncoder {
public:
    virtual ~VideoEncoder() = default;

    // Creates the file and writes its header. False with the reason: a name of no known
    // container, a folder that cannot be written, an encoder the installed libraries lack.
    virtual bool open(const std::string& path, const VideoFormat& format, std::string& error) = 0;
    // One frame of 0xAARRGGBB pixels, row 0 at the top, shown from `ms` for `durationMs`.
    virtual bool addFrame(const uint32_t* pixels, int64_t ms, int64_t durationMs, std::string& error) = 0;
    // The next `count` samples of sound, one array a channel.
    virtual bool addSound(const float* left, const float* right, size_t count, std::string& error) = 0;
    // Encodes what the encoders hold back and completes the file. What was encoded before is
    // left as it is when an encoder is destroyed unfinished.
    virtual bool finish(std::string& error) = 0;
};

// The encoder, through FFmpeg's libraries. They are loaded with it, as a module of the
// program's own, only when a video is recorded: linked into the program they would take
// 20 MB of every run's memory. Null with the reason when the module cannot be loaded.
std::unique_ptr<VideoEncoder> makeVideoEncoder(std::string& error);

// What the module exports for makeVideoEncoder.
using MakeVideoEncoder = VideoEncoder*();
inline constexpr const char* kMakeVideoEncoderSymbol = "glassfallsMakeVideoEncoder";

}  // namespace glassfalls::platform
