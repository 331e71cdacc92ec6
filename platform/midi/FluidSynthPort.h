#pragma once

#include <string>

#include "platform/midi/MidiPort.h"

typedef struct _fluid_hashtable_t fluid_settings_t;
typedef struct _fluid_synth_t fluid_synth_t;
typedef struct _fluid_audio_driver_t fluid_audio_driver_t;

namespace glassfalls::platform {

// FluidSynth inside the process. Made by openSynthPort; tests render it into memory.
class FluidSynthPort final : public MidiPort {
public:
    static constexpr double kSampleRate = 44100.0;

    FluidSynthPort();
    ~FluidSynthPort() override;
    FluidSynthPort(const FluidSynthPort&) = delete;
    FluidSynthPort& operator=(const FluidSynthPort&) = delete;

    bool loadSoundfont(const std::string& path, std::string& error);
    // Plays on the first audio system that opens (PulseAudio, which PipeWire also serves;
    // ALSA; JACK).
    bool startAudio(std::string& error);
    // Renders `frames` stereo frames when no audio system plays the synthesiser.
    void render(float* left, float* right, int frames);

    void shortMessage(uint32_t message) override;
    std::string name() const override { return "the built-in synthesiser"; }

private:
    fluid_settings_t* settings_ = nullptr;
    fluid_synth_t* synth_ = nullptr;
    fluid_audio_driver_t* audio_ = nullptr;
};

}  // namespace glassfalls::platform
