// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/synth/FluidSynthPort.h"

#include <fluidsynth.h>

#include <fstream>
#include <mutex>

namespace glassfalls::platform {

namespace {

// FluidSynth reports through a log that prints to standard error by default; the piece
// keeps its own output to one clear line, so the last error is kept for that line instead.
// Audio threads report too, while the frames open the next output.
std::mutex lastErrorMutex;
std::string lastErrorMessage;

std::string lastError() {
    std::lock_guard<std::mutex> lock(lastErrorMutex);
    return lastErrorMessage;
}

void keepError(int, const char* message, void*) {
    std::lock_guard<std::mutex> lock(lastErrorMutex);
    lastErrorMessage = message ? message : "";
}

void clearLastError() { keepError(FLUID_ERR, nullptr, nullptr); }
void ignore(int, const char*, void*) {}

void quietenLog() {
    fluid_set_log_function(FLUID_PANIC, keepError, nullptr);
    fluid_set_log_function(FLUID_ERR, keepError, nullptr);
    fluid_set_log_function(FLUID_WARN, ignore, nullptr);
    fluid_set_log_function(FLUID_INFO, ignore, nullptr);
    fluid_set_log_function(FLUID_DBG, ignore, nullptr);
}

// One of FluidSynth's audio drivers, playing the blocks of a tap.
class FluidAudioOutput final : public AudioOutput {
public:
    FluidAudioOutput(fluid_audio_driver_t* driver, std::shared_ptr<RenderTap> tap)
        : driver_(driver), tap_(std::move(tap)) {}
    ~FluidAudioOutput() override { delete_fluid_audio_driver(driver_); }

    static int playBlock(void* data, int frames, int, float**, int outputs, float** out) {
        if (outputs < 2) return FLUID_FAILED;
        static_cast<RenderTap*>(data)->play(frames, out[0], out[1]);
        return FLUID_OK;
    }

private:
    fluid_audio_driver_t* driver_;
    std::shared_ptr<RenderTap> tap_;
};

Expected<std::unique_ptr<AudioOutput>> openFluidAudio(fluid_settings_t* settings, std::shared_ptr<RenderTap> tap) {
    std::string tried;
    for (const char* driver : {"pulseaudio", "alsa", "jack"}) {
        if (fluid_settings_setstr(settings, "audio.driver", driver) != FLUID_OK) continue;
        clearLastError();
        if (fluid_audio_driver_t* audio = new_fluid_audio_driver2(settings, FluidAudioOutput::playBlock, tap.get())) {
            return std::make_unique<FluidAudioOutput>(audio, std::move(tap));
        }
        const std::string reason = lastError();
        tried += std::string(tried.empty() ? "" : "; ") + driver + ": " + (reason.empty() ? "cannot open" : reason);
    }
    return failure("the built-in synthesiser cannot play on any audio output (" + tried + ")");
}

}  // namespace

FluidSynthPort::FluidSynthPort() {
    quietenLog();
    settings_ = new_fluid_settings();
    fluid_settings_setnum(settings_, "synth.sample-rate", kSampleRate);
    fluid_settings_setnum(settings_, "synth.gain", 0.6);
    synth_ = new_fluid_synth(settings_);
}

FluidSynthPort::~FluidSynthPort() {
    // The output stops before the synthesiser it plays goes.
    output_.reset();
    if (synth_) delete_fluid_synth(synth_);
    if (settings_) delete_fluid_settings(settings_);
}

Expected<void> FluidSynthPort::loadSoundfont(const std::string& path) {
    if (!synth_) return failure("cannot start the built-in synthesiser");
    if (!std::ifstream(path, std::ios::binary)) {
        return failure("cannot read the soundfont " + path +
                       " (install timgm6mb-soundfont, or choose one with --soundfont)");
    }
    if (fluid_synth_sfload(synth_, path.c_str(), 1) == FLUID_FAILED) {
        return failure("cannot load the soundfont " + path + ": " + lastError());
    }
    return {};
}

Expected<void> FluidSynthPort::startAudio(Clock& clock) {
    fluid_settings_t* settings = settings_;
    return startAudio([settings](std::shared_ptr<RenderTap> tap) { return openFluidAudio(settings, std::move(tap)); },
                      clock);
}

Expected<void> FluidSynthPort::startAudio(AudioOutputOpener opener, Clock& clock) {
    fluid_synth_t* synth = synth_;
    auto render = [synth](int frames, float* left, float* right) {
        fluid_synth_write_float(synth, frames, left, 0, 1, right, 0, 1);
    };
    output_ = std::make_unique<WatchedAudioOutput>(std::move(opener), render, clock,
                                                   "the built-in synthesiser's audio output");
    // One that cannot be opened now is tried again from the frames on, like one that went away.
    return output_->open();
}

void FluidSynthPort::render(float* left, float* right, int frames) {
    fluid_synth_write_float(synth_, frames, left, 0, 1, right, 0, 1);
}

void FluidSynthPort::shortMessage(uint32_t message) {
    const int status = static_cast<int>(message & 0xF0);
    const int channel = static_cast<int>(message & 0x0F);
    const int data1 = static_cast<int>((message >> 8) & 0x7F);
    const int data2 = static_cast<int>((message >> 16) & 0x7F);
    switch (status) {
        case 0x80: fluid_synth_noteoff(synth_, channel, data1); break;
        case 0x90:
            // Velocity 0 is a note-off by MIDI's own rule.
            if (data2 == 0) {
                fluid_synth_noteoff(synth_, channel, data1);
            } else if (!silenced()) {
                fluid_synth_noteon(synth_, channel, data1, data2);
            }
            break;
        case 0xB0: fluid_synth_cc(synth_, channel, data1, data2); break;
        case 0xC0: fluid_synth_program_change(synth_, channel, data1); break;
        default: break;
    }
}

void FluidSynthPort::flush() {
    if (!output_) return;
    const bool wasPlaying = output_->playing();
    output_->watch();
    // Notes held when the output went stay silent when it is back.
    if (wasPlaying && !output_->playing()) fluid_synth_all_sounds_off(synth_, -1);
}

}  // namespace glassfalls::platform
