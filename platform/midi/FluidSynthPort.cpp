#include "platform/midi/FluidSynthPort.h"

#include <fluidsynth.h>

#include <fstream>

namespace glassfalls::platform {

namespace {

// FluidSynth reports through a log that prints to standard error by default; the piece
// keeps its own output to one clear line, so the last error is kept for that line instead.
std::string& lastError() {
    static std::string message;
    return message;
}

void keepError(int, const char* message, void*) { lastError() = message ? message : ""; }
void ignore(int, const char*, void*) {}

void quietenLog() {
    fluid_set_log_function(FLUID_PANIC, keepError, nullptr);
    fluid_set_log_function(FLUID_ERR, keepError, nullptr);
    fluid_set_log_function(FLUID_WARN, ignore, nullptr);
    fluid_set_log_function(FLUID_INFO, ignore, nullptr);
    fluid_set_log_function(FLUID_DBG, ignore, nullptr);
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
    if (audio_) delete_fluid_audio_driver(audio_);
    if (synth_) delete_fluid_synth(synth_);
    if (settings_) delete_fluid_settings(settings_);
}

bool FluidSynthPort::loadSoundfont(const std::string& path, std::string& error) {
    if (!synth_) {
        error = "cannot start the built-in synthesiser";
        return false;
    }
    if (!std::ifstream(path, std::ios::binary)) {
        error = "cannot read the soundfont " + path +
                " (install timgm6mb-soundfont, or choose one with --soundfont)";
        return false;
    }
    if (fluid_synth_sfload(synth_, path.c_str(), 1) == FLUID_FAILED) {
        error = "cannot load the soundfont " + path + ": " + lastError();
        return false;
    }
    return true;
}

bool FluidSynthPort::startAudio(std::string& error) {
    std::string tried;
    for (const char* driver : {"pulseaudio", "alsa", "jack"}) {
        if (fluid_settings_setstr(settings_, "audio.driver", driver) != FLUID_OK) continue;
        lastError().clear();
        audio_ = new_fluid_audio_driver(settings_, synth_);
        if (audio_) return true;
        tried += std::string(tried.empty() ? "" : "; ") + driver + ": " +
                 (lastError().empty() ? "cannot open" : lastError());
    }
    error = "the built-in synthesiser cannot play on any audio output (" + tried + ")";
    return false;
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
            } else {
                fluid_synth_noteon(synth_, channel, data1, data2);
            }
            break;
        case 0xB0: fluid_synth_cc(synth_, channel, data1, data2); break;
        case 0xC0: fluid_synth_program_change(synth_, channel, data1); break;
        default: break;
    }
}

std::unique_ptr<MidiPort> openSynthPort(const std::string& soundfont, bool toAudioDevice,
                                        std::string& error) {
    auto port = std::make_unique<FluidSynthPort>();
    if (!port->loadSoundfont(soundfont, error)) return nullptr;
    if (toAudioDevice && !port->startAudio(error)) return nullptr;
    return port;
}

}  // namespace glassfalls::platform
