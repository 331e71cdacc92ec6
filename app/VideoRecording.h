// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/sound/SoundSink.h"
#include "platform/video/VideoWriter.h"

namespace glassfalls {

// The frames and the sound of a headless run as a video. Every drawn frame is in it once,
// shown from the moment of the advance that drew it until the next advance's, so the video
// runs on the program's clock. Its sound is the synthesiser's, which arrives through
// sound() as it is rendered, and (when asked) the heard sound file mixed in.
class VideoRecording final : public platform::SoundSink {
public:
    struct Sound {
        bool synthesiser = false;  // the synthesiser's sound will arrive through sound()
        std::string heardFile;     // a WAV file heard from the start, mixed in; empty: none
    };

    // Starts a video of width x height frames at `start` on the program's clock. With no
    // sound at all the video has no sound track.
    platform::Expected<void> open(const std::string& path, int width, int height, uint32_t start, const Sound& sound);
    bool isOpen() const { return writer_.isOpen(); }
    // The frame drawn by the advance at `now`; `pixels` comes back holding a spare buffer.
    void addFrame(uint32_t now, std::vector<uint32_t>& pixels);
    // The synthesiser's next samples.
    void sound(const float* left, const float* right, size_t count) override;
    // What went wrong in the encoder, once: the recording has stopped.
    std::optional<std::string> failure();
    // Ends the video at `end`. A failure that failure() has told already comes with no words.
    platform::Expected<void> finish(uint32_t end);

private:
    // Without the synthesiser: the heard sound (silence after it) up to `now`.
    void soundUntil(uint32_t now);
    // Passes on `count` samples from position soundSamples_, the heard sound added.
    void mixAndAdd(const float* left, const float* right, size_t count);

    platform::VideoWriter writer_;
    uint32_t start_ = 0;
    bool anyFrame_ = false;
    bool synthesiser_ = false;
    bool hasSound_ = false;
    bool failureTold_ = false;
    std::vector<float> heard_;  // interleaved stereo at the synthesiser's rate
    uint64_t soundSamples_ = 0;
    std::vector<float> left_, right_;  // the mix on its way
};

}  // namespace glassfalls
