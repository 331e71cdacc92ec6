// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/video/VideoEncoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <bit>
#include <map>

namespace glassfalls::platform {

namespace {

// The piece's performance rate: a hint for the encoder's rate control, not the frames' times.
constexpr AVRational kTypicalFrameRate{10, 1};
constexpr AVRational kMilliseconds{1, 1000};
// A key frame at least every ten seconds of the performance, for seeking.
constexpr int kFramesBetweenKeyFrames = 100;
constexpr int64_t kSoundBitRate = 160'000;

}  // namespace

// The video encoder of the module the program loads to record (see makeVideoEncoder).
class FfmpegEncoder final : public VideoEncoder {
public:
    FfmpegEncoder() = default;
    FfmpegEncoder(const FfmpegEncoder&) = delete;
    FfmpegEncoder& operator=(const FfmpegEncoder&) = delete;
    ~FfmpegEncoder() override;

    Expected<void> open(const std::string& path, const VideoFormat& format) override;
    Expected<void> addFrame(const uint32_t* pixels, int64_t ms, int64_t durationMs) override;
    Expected<void> addSound(const float* left, const float* right, size_t count) override;
    Expected<void> finish() override;

private:
    Expected<void> openVideo(const VideoFormat& format);
    Expected<void> openSound(const VideoFormat& format);
    // Sends `frame` (null: the end) to `codec` and writes every packet it gives back.
    Expected<void> encode(AVCodecContext* codec, AVStream* stream, AVFrame* frame);
    Expected<void> encodeSoundFrames(bool andTheRest);
    // Why the libraries' `code` kept the encoder from `doing` what it was about.
    Failure failed(int code, const char* doing) const;

    std::string path_;
    AVFormatContext* muxer_ = nullptr;
    AVCodecContext* video_ = nullptr;
    AVCodecContext* sound_ = nullptr;
    AVStream* videoStream_ = nullptr;
    AVStream* soundStream_ = nullptr;
    SwsContext* convert_ = nullptr;
    int sourcePitch_ = 0;  // bytes from one row of a frame handed over to the next
    AVFrame* picture_ = nullptr;
    AVFrame* soundFrame_ = nullptr;
    AVAudioFifo* soundQueue_ = nullptr;
    AVPacket* packet_ = nullptr;
    std::map<int64_t, int64_t> durations_;  // of the frames in the video encoder, by time
    int64_t soundSamples_ = 0;              // encoded so far
    bool fileOpen_ = false;
};

FfmpegEncoder::~FfmpegEncoder() {
    if (muxer_ && muxer_->pb && !(muxer_->oformat->flags & AVFMT_NOFILE)) avio_closep(&muxer_->pb);
    avformat_free_context(muxer_);
    avcodec_free_context(&video_);
    avcodec_free_context(&sound_);
    sws_freeContext(convert_);
    av_frame_free(&picture_);
    av_frame_free(&soundFrame_);
    if (soundQueue_) av_audio_fifo_free(soundQueue_);
    av_packet_free(&packet_);
}

Failure FfmpegEncoder::failed(int code, const char* doing) const {
    char reason[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, reason, sizeof reason);
    return failure(std::string("cannot ") + doing + " " + path_ + ": " + reason);
}

Expected<void> FfmpegEncoder::open(const std::string& path, const VideoFormat& format) {
    path_ = path;
    // Our own messages say what went wrong, on one line, with the libraries' reason.
    av_log_set_level(AV_LOG_QUIET);
    if (avformat_alloc_output_context2(&muxer_, nullptr, nullptr, path.c_str()) < 0 || !muxer_) {
        return failure("cannot tell the kind of video from the name " + path + " (end it in .mp4, .mkv or .mov)");
    }
    if (avformat_query_codec(muxer_->oformat, AV_CODEC_ID_H264, FF_COMPLIANCE_NORMAL) != 1) {
        return failure("a " + std::string(muxer_->oformat->name) + " file cannot hold H.264 video: " + path +
                       " (end it in .mp4, .mkv or .mov)");
    }
    if (auto opened = openVideo(format); !opened) return opened;
    if (format.soundRate > 0) {
        if (auto opened = openSound(format); !opened) return opened;
    }
    packet_ = av_packet_alloc();
    if (!(muxer_->oformat->flags & AVFMT_NOFILE)) {
        if (const int code = avio_open(&muxer_->pb, path.c_str(), AVIO_FLAG_WRITE); code < 0) {
            return failed(code, "write the video");
        }
    }
    if (const int code = avformat_write_header(muxer_, nullptr); code < 0) return failed(code, "write the video");
    fileOpen_ = true;
    return {};
}

Expected<void> FfmpegEncoder::openVideo(const VideoFormat& format) {
    const AVCodec* codec = avcodec_find_encoder_by_name("libx264");
    if (!codec) {
        return failure("cannot record " + path_ + ": the installed FFmpeg libraries have no libx264 encoder");
    }
    video_ = avcodec_alloc_context3(codec);
    // H.264 with half-size colour needs even sides: a frame's odd last column or row is left
    // out (evenVideoSize), never stretched.
    const VideoFormat even = evenVideoSize(format);
    sourcePitch_ = format.width * 4;
    video_->width = even.width;
    video_->height = even.height;
    video_->pix_fmt = AV_PIX_FMT_YUV420P;
    video_->time_base = kMilliseconds;
    video_->framerate = kTypicalFrameRate;
    video_->gop_size = kFramesBetweenKeyFrames;
    // What libswscale's conversion gives, said so that players turn it back the same way.
    video_->colorspace = AVCOL_SPC_SMPTE170M;
    video_->color_range = AVCOL_RANGE_MPEG;
    if (muxer_->oformat->flags & AVFMT_GLOBALHEADER) video_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    // The fastest preset: encoding then costs less than reading the frame back, and overlaps
    // the drawing of the next on a second core. The default is several times slower and
    // would hold the drawing up; the files are larger, which a recording can afford.
    AVDictionary* options = nullptr;
    av_dict_set(&options, "preset", "ultrafast", 0);
    // Thin bright trails on dark water lose their edges at the default quality; at this one
    // what is lost is mostly what the half-size colour of a playable H.264 loses anyway.
    av_dict_set(&options, "crf", "18", 0);
    const int code = avcodec_open2(video_, codec, &options);
    av_dict_free(&options);
    if (code < 0) return failed(code, "start the H.264 encoder for");
    videoStream_ = avformat_new_stream(muxer_, nullptr);
    avcodec_parameters_from_context(videoStream_->codecpar, video_);
    videoStream_->time_base = kMilliseconds;

    picture_ = av_frame_alloc();
    picture_->format = video_->pix_fmt;
    picture_->width = even.width;
    picture_->height = even.height;
    if (const int got = av_frame_get_buffer(picture_, 0); got < 0) return failed(got, "make frames for");
    // 0xAARRGGBB in memory on a little-endian machine is B, G, R, A.
    static_assert(std::endian::native == std::endian::little, "frames are handed over as bytes B, G, R, A");
    convert_ = sws_getContext(even.width, even.height, AV_PIX_FMT_BGRA, even.width, even.height, AV_PIX_FMT_YUV420P,
                              SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!convert_) {
        return failure("cannot convert frames for " + path_);
    }
    return {};
}

Expected<void> FfmpegEncoder::openSound(const VideoFormat& format) {
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_AAC);
    if (!codec) {
        return failure("cannot record " + path_ + ": the installed FFmpeg libraries have no AAC encoder");
    }
    sound_ = avcodec_alloc_context3(codec);
    sound_->sample_fmt = AV_SAMPLE_FMT_FLTP;
    sound_->sample_rate = format.soundRate;
    av_channel_layout_default(&sound_->ch_layout, 2);
    sound_->bit_rate = kSoundBitRate;
    sound_->time_base = AVRational{1, format.soundRate};
    if (muxer_->oformat->flags & AVFMT_GLOBALHEADER) sound_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (const int code = avcodec_open2(sound_, codec, nullptr); code < 0)
        return failed(code, "start the AAC encoder for");
    soundStream_ = avformat_new_stream(muxer_, nullptr);
    avcodec_parameters_from_context(soundStream_->codecpar, sound_);
    soundStream_->time_base = sound_->time_base;

    soundFrame_ = av_frame_alloc();
    soundFrame_->format = sound_->sample_fmt;
    soundFrame_->sample_rate = sound_->sample_rate;
    soundFrame_->nb_samples = sound_->frame_size;
    av_channel_layout_copy(&soundFrame_->ch_layout, &sound_->ch_layout);
    if (const int got = av_frame_get_buffer(soundFrame_, 0); got < 0) return failed(got, "make sound frames for");
    soundQueue_ = av_audio_fifo_alloc(sound_->sample_fmt, 2, sound_->frame_size);
    return {};
}

Expected<void> FfmpegEncoder::addFrame(const uint32_t* pixels, int64_t ms, int64_t durationMs) {
    if (const int code = av_frame_make_writable(picture_); code < 0) return failed(code, "encode");
    const uint8_t* rows[1] = {reinterpret_cast<const uint8_t*>(pixels)};
    const int pitch[1] = {sourcePitch_};
    sws_scale(convert_, rows, pitch, 0, picture_->height, picture_->data, picture_->linesize);
    picture_->pts = ms;
    durations_[ms] = durationMs;
    return encode(video_, videoStream_, picture_);
}

Expected<void> FfmpegEncoder::addSound(const float* left, const float* right, size_t count) {
    if (!sound_) return {};
    void* planes[2] = {const_cast<float*>(left), const_cast<float*>(right)};
    if (av_audio_fifo_write(soundQueue_, planes, static_cast<int>(count)) < static_cast<int>(count)) {
        return failure("cannot keep the sound of " + path_ + ": out of memory");
    }
    return encodeSoundFrames(false);
}

Expected<void> FfmpegEncoder::encodeSoundFrames(bool andTheRest) {
    const int whole = sound_->frame_size;
    while (av_audio_fifo_size(soundQueue_) >= whole || (andTheRest && av_audio_fifo_size(soundQueue_) > 0)) {
        if (const int code = av_frame_make_writable(soundFrame_); code < 0) return failed(code, "encode the sound of");
        const int count = std::min(whole, av_audio_fifo_size(soundQueue_));
        av_audio_fifo_read(soundQueue_, reinterpret_cast<void**>(soundFrame_->data), count);
        soundFrame_->nb_samples = whole;
        if (count < whole) {
            // The last, short frame: as it is where the encoder takes one, else filled with silence.
            if (sound_->codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME) {
                soundFrame_->nb_samples = count;
            } else {
                av_samples_set_silence(soundFrame_->data, count, whole - count, 2, sound_->sample_fmt);
            }
        }
        soundFrame_->pts = soundSamples_;
        soundSamples_ += soundFrame_->nb_samples;
        if (auto encoded = encode(sound_, soundStream_, soundFrame_); !encoded) return encoded;
    }
    return {};
}

Expected<void> FfmpegEncoder::encode(AVCodecContext* codec, AVStream* stream, AVFrame* frame) {
    if (const int code = avcodec_send_frame(codec, frame); code < 0) return failed(code, "encode");
    for (;;) {
        const int code = avcodec_receive_packet(codec, packet_);
        if (code == AVERROR(EAGAIN) || code == AVERROR_EOF) return {};
        if (code < 0) return failed(code, "encode");
        if (codec == video_) {
            // The encoder keeps a frame's time but not how long it shows, which the last
            // frame needs for the video to last as long as the run.
            if (const auto found = durations_.find(packet_->pts); found != durations_.end()) {
                packet_->duration = found->second;
                durations_.erase(found);
            }
        }
        packet_->stream_index = stream->index;
        av_packet_rescale_ts(packet_, codec->time_base, stream->time_base);
        if (const int written = av_interleaved_write_frame(muxer_, packet_); written < 0) {
            return failed(written, "write the video");
        }
    }
}

Expected<void> FfmpegEncoder::finish() {
    if (!fileOpen_) return failure("the video " + path_ + " is not open");
    fileOpen_ = false;
    if (sound_) {
        if (auto encoded = encodeSoundFrames(true); !encoded) return encoded;
        if (auto encoded = encode(sound_, soundStream_, nullptr); !encoded) return encoded;
    }
    if (auto encoded = encode(video_, videoStream_, nullptr); !encoded) return encoded;
    if (const int code = av_write_trailer(muxer_); code < 0) return failed(code, "complete the video");
    if (!(muxer_->oformat->flags & AVFMT_NOFILE)) {
        if (const int code = avio_closep(&muxer_->pb); code < 0) return failed(code, "write the video");
    }
    return {};
}

}  // namespace glassfalls::platform

extern "C" __attribute__((visibility("default"))) glassfalls::platform::VideoEncoder* glassfallsMakeVideoEncoder() {
    return new glassfalls::platform::FfmpegEncoder();
}
