#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

struct AVAudioFifo;
struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;
struct AVStream;
struct SwsContext;

namespace glassfalls::platform {

struct VideoFormat {
    int width = 0;
    int height = 0;
    int soundRate = 0;  // stereo at this rate; 0: no sound track
};

// Writes a video through FFmpeg's libraries: H.264 (libx264) and AAC in the container the
// file's name asks for (.mp4, .mkv, .mov, ...), in one pass. Frames come with their own
// times, in milliseconds from the start, so the video keeps the piece's timing exactly
// however unevenly frames come. One thread at a time.
class VideoEncoder {
public:
    VideoEncoder() = default;
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;
    // What was encoded is left as it is: finish() makes it a whole file.
    ~VideoEncoder();

    // Creates the file and writes its header. False with the reason: a name of no known
    // container, a folder that cannot be written, an encoder the installed libraries lack.
    bool open(const std::string& path, const VideoFormat& format, std::string& error);
    // One frame of 0xAARRGGBB pixels, row 0 at the top, shown from `ms` for `durationMs`.
    bool addFrame(const uint32_t* pixels, int64_t ms, int64_t durationMs, std::string& error);
    // The next `count` samples of sound, one array a channel.
    bool addSound(const float* left, const float* right, size_t count, std::string& error);
    // Encodes what the encoders hold back and completes the file.
    bool finish(std::string& error);

private:
    bool openVideo(const VideoFormat& format, std::string& error);
    bool openSound(const VideoFormat& format, std::string& error);
    // Sends `frame` (null: the end) to `codec` and writes every packet it gives back.
    bool encode(AVCodecContext* codec, AVStream* stream, AVFrame* frame, std::string& error);
    bool encodeSoundFrames(bool andTheRest, std::string& error);
    bool failed(int code, const char* doing, std::string& error) const;

    std::string path_;
    AVFormatContext* muxer_ = nullptr;
    AVCodecContext* video_ = nullptr;
    AVCodecContext* sound_ = nullptr;
    AVStream* videoStream_ = nullptr;
    AVStream* soundStream_ = nullptr;
    SwsContext* convert_ = nullptr;
    AVFrame* picture_ = nullptr;
    AVFrame* soundFrame_ = nullptr;
    AVAudioFifo* soundQueue_ = nullptr;
    AVPacket* packet_ = nullptr;
    std::map<int64_t, int64_t> durations_;  // of the frames in the video encoder, by time
    int64_t soundSamples_ = 0;              // encoded so far
    bool fileOpen_ = false;
};

}  // namespace glassfalls::platform
