// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DeviceList.h"

namespace glassfalls {

std::string describeDevices(const std::vector<platform::DisplayInfo>& displays,
                            const std::vector<std::string>& captureDevices, const std::string& defaultCapture,
                            const std::optional<std::vector<std::string>>& midiPorts, bool synthesiser) {
    std::string text = "Displays (for --display):\n";
    if (displays.empty()) text += "  (none found; only --headless runs here)\n";
    for (const platform::DisplayInfo& d : displays) {
        text += "  " + std::to_string(d.index) + "  " + d.name + "  " + std::to_string(d.width) + "x" +
                std::to_string(d.height) + (d.index == 0 ? "  (default)" : "") + "\n";
    }
    text += "Capture devices (for --audio-device):\n";
    if (captureDevices.empty()) text += "  (none found; the piece runs on silence)\n";
    for (const std::string& name : captureDevices) {
        text += "  " + name + (name == defaultCapture ? "  (default)" : "") + "\n";
    }
    text += "MIDI outputs (for --midi):\n";
    if (synthesiser) text += "  synth  (default) the built-in General MIDI synthesiser on the audio output\n";
    text += "  none   no MIDI output\n";
    text += "  ALSA sequencer ports (for --midi alsa:PORT):\n";
    if (!midiPorts) {
        text += "    (this build has no ALSA sequencer)\n";
        return text;
    }
    if (midiPorts->empty()) text += "    (none found; use --midi synth or --midi none)\n";
    for (const std::string& port : *midiPorts) text += "    " + port + "\n";
    return text;
}

}  // namespace glassfalls
