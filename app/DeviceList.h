// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/window/Window.h"

namespace glassfalls {

// What --list-devices prints: the displays, the capture devices (the default one marked) and
// the ALSA MIDI ports, each heading followed by "(none found …)" and what the piece does
// instead when the list is empty. `midiPorts` is none when the build has no ALSA sequencer;
// `synthesiser` says whether it has the built-in one.
std::string describeDevices(const std::vector<platform::DisplayInfo>& displays,
                            const std::vector<std::string>& captureDevices, const std::string& defaultCapture,
                            const std::optional<std::vector<std::string>>& midiPorts, bool synthesiser);

}  // namespace glassfalls
