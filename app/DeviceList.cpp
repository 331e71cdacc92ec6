// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DeviceList.h"

namespace glassfalls {

namespace {

// The sequencer's ports under a heading, or why there are none.
std::string sequencerPorts(const std::optional<std::vector<std::string>>& ports, const std::string& heading,
                           const std::string& instead) {
    std::string text = "  " + heading + ":\n";
    if (!ports) return text + "    (this build has no ALSA sequencer)\n";
    if (ports->empty()) text += "    (none found; " + instead + ")\n";
    for (const std::string& port : *ports) text += "    " + port + "\n";
    return text;
}

}  // namespace

std::string describeDevices(const Devices& devices) {
    std::string text = "Displays (for --display):\n";
    if (devices.displays.empty()) text += "  (none found; only --headless runs here)\n";
    for (const platform::DisplayInfo& d : devices.displays) {
        text += "  " + std::to_string(d.index) + "  " + d.name + "  " + std::to_string(d.width) + "x" +
                std::to_string(d.height) + (d.index == 0 ? "  (default)" : "") + "\n";
    }
    text += "Capture devices (for --audio-device):\n";
    if (devices.captureDevices.empty()) text += "  (none found; the piece runs on silence)\n";
    for (const std::string& name : devices.captureDevices) {
        text += "  " + name + (name == devices.defaultCapture ? "  (default)" : "") + "\n";
    }
    text += "Instruments (for --instrument):\n";
    text += "  file:FILE.mid  a Standard MIDI File\n";
    text += "  osc            notes from show control (with --osc-port)\n";
    text += sequencerPorts(devices.instrumentPorts, "ALSA sequencer ports (for --instrument alsa:PORT)",
                           "the microphone, a MIDI file or show control can play");
    text += "MIDI outputs (for --midi):\n";
    if (devices.synthesiser) text += "  synth  (default) the built-in General MIDI synthesiser on the audio output\n";
    text += "  none   no MIDI output\n";
    text += sequencerPorts(devices.midiPorts, "ALSA sequencer ports (for --midi alsa:PORT)",
                           "use --midi synth or --midi none");
    return text;
}

}  // namespace glassfalls
