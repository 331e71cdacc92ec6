// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/window/Window.h"

namespace glassfalls {

// What the machine offers the piece, as --list-devices shows it.
struct Devices {
    std::vector<platform::DisplayInfo> displays;
    std::vector<std::string> captureDevices;
    std::string defaultCapture;
    // The ALSA sequencer's ports that receive MIDI and those that send it; none when the build
    // has no ALSA sequencer.
    std::optional<std::vector<std::string>> midiPorts;
    std::optional<std::vector<std::string>> instrumentPorts;
    bool synthesiser = false;  // the build has the built-in one
};

// What --list-devices prints: each heading followed by its devices (the default one marked),
// or by "(none found …)" and what the piece does instead when there are none.
std::string describeDevices(const Devices& devices);

}  // namespace glassfalls
