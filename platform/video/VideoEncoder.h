// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/os/Expected.h"

namespace glassfalls::platform {

struct VideoFormat {
    int width = 0;
    int height = 0;
    int soundRate = 0;  // stereo at this rate; 0: no sound track
};

// The size a video of frames of `format`'s size has: each side made even, as H.264 with
// half-size colour needs, by leaving out an odd last column or row.
inline VideoFormat evenVideoSize(VideoFormat format) {
    format.width &= ~1;
    format.height &= ~1;
    return format;
}

// Writes a video: H.264 and AAC in the container the file's name asks for (.mp4, .mkv, .mov,
// ...), in one pass. Frames come with their own times, in milliseconds from the start, so the
// video keeps the piece's timing exactly however unevenly frames come. One thread at a time.
class VideoEncoder {
public:
    virtual ~VideoEncoder() = default;

    // Creates the file and writes its header. Fails on a name of no known container, a folder
    // that cannot be written, an encoder the installed libraries lack.
    virtual Expected<void> open(const std::string& path, const VideoFormat& format) = 0;
    // One frame of 0xAARRGGBB pixels, row 0 at the top, shown from `ms` for `durationMs`.
    virtual Expected<void> addFrame(const uint32_t* pixels, int64_t ms, int64_t durationMs) = 0;
    // The next `count` samples of sound, one array a channel.
    virtual Expected<void> addSound(const float* left, const float* right, size_t count) = 0;
    // Encodes what the encoders hold back and completes the file. What was encoded before is
    // left as it is when an encoder is destroyed unfinished.
    virtual Expected<void> finish() = 0;
};

// The encoder, through FFmpeg's libraries. They are loaded with it, as a module of the
// program's own, only when a video is recorded: linked into the program they would take
// 20 MB of every run's memory. Fails when the module cannot be loaded.
Expected<std::unique_ptr<VideoEncoder>> makeVideoEncoder();

// What the module exports for makeVideoEncoder.
using MakeVideoEncoder = VideoEncoder*();
inline constexpr const char* kMakeVideoEncoderSymbol = "glassfallsMakeVideoEncoder";

}  // namespace glassfalls::platform
