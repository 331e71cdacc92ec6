// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>

#include "platform/sound/MidiPort.h"
#include "platform/sound/SoundSink.h"
#include "platform/sound/WatchedAudioOutput.h"

typedef struct _fluid_hashtable_t fluid_settings_t;
typedef struct _fluid_synth_t fluid_synth_t;

namespace glassfalls::platform {

// FluidSynth inside the process, playing on the audio output or, in headless runs and
// tests, rendered into memory.
class FluidSynthPort final : public MidiPort {
public:
    static constexpr double kSampleRate = kSynthesiserRate;

    FluidSynthPort();
    ~FluidSynthPort() override;
    FluidSynthPort(const FluidSynthPort&) = delete;
    FluidSynthPort& operator=(const FluidSynthPort&) = delete;

    Expected<void> loadSoundfont(const std::string& path);
    // Plays on the first audio system that opens (PulseAudio, which PipeWire also serves;
    // ALSA; JACK), and on the next one that opens whenever that output goes away. Fails when
    // none opens now; it is tried again from the frames on.
    Expected<void> startAudio(Clock& clock);
    // The same through outputs `opener` opens.
    Expected<void> startAudio(AudioOutputOpener opener, Clock& clock);
    // Renders `frames` stereo frames when no audio system plays the synthesiser.
    void render(float* left, float* right, int frames);

    // While its audio output is gone, new notes are dropped; everything else still reaches
    // the synthesiser, so its instruments are right when the output is back.
    void shortMessage(uint32_t message) override;
    void flush() override;
    std::string name() const override { return "the built-in synthesiser"; }

private:
    bool silenced() const { return output_ && !output_->playing(); }

    fluid_settings_t* settings_ = nullptr;
    fluid_synth_t* synth_ = nullptr;
    std::unique_ptr<WatchedAudioOutput> output_;
};

}  // namespace glassfalls::platform
