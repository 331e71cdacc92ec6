#pragma once

#include <memory>
#include <string>

#include "platform/midi/FluidSynthPort.h"
#include "platform/midi/MidiPort.h"

namespace glassfalls::platform {

class Clock;

// Plays `synth` into a WAV file (16-bit PCM, stereo, the synthesiser's rate) on `clock`: the
// sound up to each moment is rendered just before a message sent at that moment, and at
// every flush, so every note sounds from the frame that sent it. The file's header is right
// after every flush. Null with the reason when the file cannot be written.
std::unique_ptr<MidiPort> recordSynthToWav(std::unique_ptr<FluidSynthPort> synth, const std::string& path,
                                           Clock& clock, std::string& error);

}  // namespace glassfalls::platform
