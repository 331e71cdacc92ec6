// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>

#include "platform/sound/MidiPort.h"
#include "platform/sound/SoundSink.h"
#include "platform/synth/FluidSynthPort.h"

namespace glassfalls::platform {

class Clock;

// Plays `synth` in memory on `clock`: the sound up to each moment is rendered just before a
// message sent at that moment, and at every flush, so every note sounds from the frame that
// sent it. The sound goes to `wavPath` (unless empty) as a WAV file (16-bit PCM, stereo, the
// synthesiser's rate) whose header is right after every flush, and to `sink` (unless null),
// which must outlive the port. Fails when the file cannot be written.
Expected<std::unique_ptr<MidiPort>> recordSynth(std::unique_ptr<FluidSynthPort> synth, Clock& clock,
                                                const std::string& wavPath, SoundSink* sink);

}  // namespace glassfalls::platform
