// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/os/Expected.h"
#include "platform/sound/MidiInput.h"
#include "platform/sound/MidiPort.h"

namespace glassfalls::platform {

// An ALSA sequencer output connected to `destination`: a client name or name prefix, or
// client:port.
Expected<std::unique_ptr<MidiPort>> openAlsaPort(const std::string& destination);
// Ports that can receive MIDI, as "client:port  client name / port name".
std::vector<std::string> listAlsaPorts();

// An ALSA sequencer input connected from `source` (named as `destination` above), from which
// an instrument's keys are read. Fails, saying so, when there is no sequencer, or when there is
// no such port, naming those there are.
Expected<std::unique_ptr<MidiInput>> openAlsaInput(const std::string& source);
// Ports that send MIDI (keyboards, sequencers), listed as above.
std::vector<std::string> listAlsaInputs();

// The ALSA library prints its own diagnostics to standard error whenever a device is
// missing; the piece says in one line what it could not open, so those are silenced.
void quietenAlsaDiagnostics();

}  // namespace glassfalls::platform
