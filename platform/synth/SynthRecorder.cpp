// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/synth/SynthRecorder.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/os/Clock.h"
#include "platform/os/LittleEndian.h"

namespace glassfalls::platform {

namespace {

constexpr uint32_t kRate = static_cast<uint32_t>(FluidSynthPort::kSampleRate);
constexpr uint32_t kHeaderBytes = 44;

class SynthRecordingPort final : public MidiPort {
public:
    SynthRecordingPort(std::unique_ptr<FluidSynthPort> synth, Clock& clock, SoundSink* sink)
        : synth_(std::move(synth)), clock_(clock), sink_(sink), start_(clock.now()) {}

    ~SynthRecordingPort() override {
        renderUntilNow();
        if (!file_) return;
        writeHeader();
        std::fclose(file_);
    }

    Expected<void> open(const std::string& path) {
        file_ = std::fopen(path.c_str(), "wb");
        if (!file_) return failure("cannot write the sound to " + path + ": " + std::strerror(errno));
        writeHeader();
        return {};
    }

    void shortMessage(uint32_t message) override {
        renderUntilNow();
        synth_->shortMessage(message);
    }

    void flush() override {
        renderUntilNow();
        if (!file_) return;
        writeHeader();
        std::fflush(file_);
    }

    std::string name() const override { return synth_->name(); }

private:
    void renderUntilNow() {
        const uint64_t due = uint64_t{clock_.now() - start_} * kRate / 1000;
        while (frames_ < due) {
            const auto count = static_cast<int>(std::min<uint64_t>(due - frames_, kChunk));
            synth_->render(left_.data(), right_.data(), count);
            frames_ += static_cast<uint64_t>(count);
            if (sink_) sink_->sound(left_.data(), right_.data(), static_cast<size_t>(count));
            if (!file_) continue;
            pcm_.clear();
            for (int i = 0; i < count; ++i) {
                for (const float sample : {left_[static_cast<size_t>(i)], right_[static_cast<size_t>(i)]}) {
                    const auto value = static_cast<int16_t>(std::lround(std::clamp(sample, -1.0f, 1.0f) * 32767.0f));
                    putLittleEndian(pcm_, static_cast<uint16_t>(value), 2);
                }
            }
            std::fseek(file_, 0, SEEK_END);
            std::fwrite(pcm_.data(), 1, pcm_.size(), file_);
        }
    }

    void writeHeader() {
        const auto dataBytes = static_cast<uint32_t>(std::min<uint64_t>(frames_ * 4, 0xFFFFFFFFu - kHeaderBytes));
        std::vector<uint8_t> header;
        for (char c : std::string("RIFF")) header.push_back(static_cast<uint8_t>(c));
        putLittleEndian(header, 36 + dataBytes, 4);
        for (char c : std::string("WAVEfmt ")) header.push_back(static_cast<uint8_t>(c));
        putLittleEndian(header, 16, 4);
        putLittleEndian(header, 1, 2);  // PCM
        putLittleEndian(header, 2, 2);  // stereo
        putLittleEndian(header, kRate, 4);
        putLittleEndian(header, kRate * 4, 4);
        putLittleEndian(header, 4, 2);
        putLittleEndian(header, 16, 2);
        for (char c : std::string("data")) header.push_back(static_cast<uint8_t>(c));
        putLittleEndian(header, dataBytes, 4);
        std::fseek(file_, 0, SEEK_SET);
        std::fwrite(header.data(), 1, header.size(), file_);
    }

    static constexpr uint64_t kChunk = 4096;
    std::unique_ptr<FluidSynthPort> synth_;
    Clock& clock_;
    SoundSink* sink_;
    uint32_t start_;
    std::FILE* file_ = nullptr;
    uint64_t frames_ = 0;
    std::vector<float> left_ = std::vector<float>(kChunk), right_ = std::vector<float>(kChunk);
    std::vector<uint8_t> pcm_;
};

}  // namespace

Expected<std::unique_ptr<MidiPort>> recordSynth(std::unique_ptr<FluidSynthPort> synth, Clock& clock,
                                                const std::string& wavPath, SoundSink* sink) {
    auto port = std::make_unique<SynthRecordingPort>(std::move(synth), clock, sink);
    if (!wavPath.empty()) {
        if (auto opened = port->open(wavPath); !opened) return failure(opened.error());
    }
    return port;
}

}  // namespace glassfalls::platform
