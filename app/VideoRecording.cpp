// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/VideoRecording.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/sound/WavSound.h"

namespace glassfalls {

namespace {

constexpr int kSoundRate = static_cast<int>(platform::kSynthesiserRate);

}  // namespace

platform::Expected<void> VideoRecording::open(const std::string& path, int width, int height, uint32_t start,
                                              const Sound& sound) {
    start_ = start;
    synthesiser_ = sound.synthesiser;
    if (!sound.heardFile.empty()) {
        const auto bytes = platform::readWavAs(sound.heardFile, AUDIO_F32SYS, 2, kSoundRate);
        if (!bytes) return platform::failure(bytes.error());
        heard_.resize(bytes->size() / sizeof(float));
        std::memcpy(heard_.data(), bytes->data(), heard_.size() * sizeof(float));
    }
    hasSound_ = synthesiser_ || !sound.heardFile.empty();
    const platform::VideoFormat format{width, height, hasSound_ ? kSoundRate : 0};
    const platform::VideoFormat even = platform::evenVideoSize(format);
    if (even.width < 2 || even.height < 2) return platform::failure("a video needs frames of at least 2 x 2 pixels");
    if (even.width != width || even.height != height) {
        std::fprintf(stderr,
                     "glassfalls: the video is %d x %d: H.264 needs even sides, so the frame's odd last %s left out\n",
                     even.width, even.height,
                     even.width != width && even.height != height ? "column and row are"
                     : even.width != width                        ? "column is"
                                                                  : "row is");
    }
    return writer_.open(path, format);
}

void VideoRecording::addFrame(uint32_t now, std::vector<uint32_t>& pixels) {
    if (!isOpen()) return;
    soundUntil(now);
    // The first picture stands from the start, so the video is as long as the run.
    writer_.addFrame(pixels, anyFrame_ ? int64_t{now - start_} : 0);
    anyFrame_ = true;
}

void VideoRecording::sound(const float* left, const float* right, size_t count) {
    if (isOpen()) mixAndAdd(left, right, count);
}

void VideoRecording::soundUntil(uint32_t now) {
    if (synthesiser_ || !hasSound_) return;
    const uint64_t due = uint64_t{now - start_} * kSoundRate / 1000;
    if (due <= soundSamples_) return;
    const std::vector<float> silence(static_cast<size_t>(due - soundSamples_), 0.0f);
    mixAndAdd(silence.data(), silence.data(), silence.size());
}

void VideoRecording::mixAndAdd(const float* left, const float* right, size_t count) {
    const size_t heardSamples = heard_.size() / 2;
    // Where nothing is heard the sound goes on as it came, uncopied.
    if (soundSamples_ < heardSamples) {
        left_.assign(left, left + count);
        right_.assign(right, right + count);
        for (size_t i = 0; i < count && soundSamples_ + i < heardSamples; ++i) {
            const auto at = static_cast<size_t>((soundSamples_ + i) * 2);
            left_[i] = std::clamp(left_[i] + heard_[at], -1.0f, 1.0f);
            right_[i] = std::clamp(right_[i] + heard_[at + 1], -1.0f, 1.0f);
        }
        left = left_.data();
        right = right_.data();
    }
    soundSamples_ += count;
    writer_.addSound(left, right, count);
}

std::optional<std::string> VideoRecording::failure() {
    if (failureTold_) return std::nullopt;
    auto failure = writer_.firstFailure();
    failureTold_ = failure.has_value();
    return failure;
}

platform::Expected<void> VideoRecording::finish(uint32_t end) {
    if (!isOpen()) return {};
    soundUntil(end);
    auto finished = writer_.finish(int64_t{end - start_});
    // A failure already told is not told again.
    if (!finished && failureTold_) return platform::failure("");
    return finished;
}

}  // namespace glassfalls
