#include "app/Backends.h"

#include <cstdio>

#include "platform/sound/FluidSynthPort.h"
#include "platform/sound/ReconnectingCapture.h"
#include "platform/sound/ReconnectingMidiPort.h"
#include "platform/sound/SynthRecorder.h"

namespace glassfalls {

std::unique_ptr<platform::Clock> pickClock(const StartOptions& options) {
    if (options.headless) return std::make_unique<platform::VirtualClock>();
    return std::make_unique<platform::RealClock>();
}

std::unique_ptr<platform::Keyboard> pickKeyboard(const StartOptions& options, std::string& error) {
    if (!options.keysFile.empty()) {
        auto script = platform::ScriptedKeyboard::load(options.keysFile, error);
        if (!script) return nullptr;
        return std::make_unique<platform::ScriptedKeyboard>(std::move(*script));
    }
    if (options.headless) return std::make_unique<platform::NullKeyboard>();
    return std::make_unique<platform::SdlKeyboard>();
}

platform::WindowOpener pickWindowOpener() { return platform::openSdlWindow; }

std::unique_ptr<platform::CaptureSource> pickCapture(const StartOptions& options, platform::Clock& clock,
                                                     std::string& error) {
    if (!options.audioFile.empty()) return platform::openWavCapture(options.audioFile, clock.now(), error);
    // A headless run touches no devices: without a file it hears silence.
    if (options.headless) return std::make_unique<platform::SilentCapture>();
    const std::string name = options.audioDevice;
    auto open = [name](std::string& deviceError) { return platform::openDeviceCapture(name, deviceError); };
    std::string deviceError;
    auto device = open(deviceError);
    // Without a microphone the piece still runs, hearing silence until one is plugged in.
    if (!device) std::fprintf(stderr, "glassfalls: %s; running on silence (see --list-devices)\n", deviceError.c_str());
    return std::make_unique<platform::ReconnectingCapture>(open, std::move(device), clock.now());
}

std::unique_ptr<platform::MidiPort> pickMidiPort(const StartOptions& options, platform::Clock& clock,
                                                 platform::SoundSink* videoSound, std::string& error) {
    std::unique_ptr<platform::MidiPort> port;
    const std::string& choice = options.midi;
    const std::string soundfont = options.soundfont.empty() ? platform::kDefaultSoundfont : options.soundfont;
    if (!options.audioOut.empty() && choice != "synth") {
        error = "--audio-out records the built-in synthesiser: leave out --midi or give --midi synth";
        return nullptr;
    }
    if (choice == "synth" && (!options.audioOut.empty() || videoSound)) {
        // Recording the sound needs the built-in synthesiser, in memory on the program's clock.
        auto synth = std::make_unique<platform::FluidSynthPort>();
        if (synth->loadSoundfont(soundfont, error)) {
            port = platform::recordSynth(std::move(synth), clock, options.audioOut, videoSound, error);
        }
    } else if (choice == "synth") {
        auto synth = std::make_unique<platform::FluidSynthPort>();
        const bool loaded = synth->loadSoundfont(soundfont, error);
        // Headless runs keep the synthesiser in memory and need no sound card.
        if (loaded && (options.headless || synth->startAudio(clock, error))) {
            port = std::move(synth);
        } else if (!options.midiChosen && (loaded || options.soundfont.empty())) {
            // Without a sound card the piece runs silent, as it does without a microphone,
            // unless the synthesiser or its soundfont was asked for by name; a sound card that
            // comes later is played on.
            std::fprintf(stderr, "glassfalls: %s; running without sound%s (see --list-devices)\n", error.c_str(),
                         loaded ? " until an audio output is there" : "");
            if (loaded) {
                port = std::move(synth);
            } else {
                port = std::make_unique<platform::NullMidiPort>();
            }
        }
    } else if (choice.rfind("alsa:", 0) == 0) {
        const std::string destination = choice.substr(5);
        auto open = [destination](std::string& portError) { return platform::openAlsaPort(destination, portError); };
        port = open(error);
        // A port that goes away later is connected to again when it is back.
        if (port) port = std::make_unique<platform::ReconnectingMidiPort>(open, std::move(port), clock);
    } else if (choice == "none") {
        port = std::make_unique<platform::NullMidiPort>();
    } else {
        error = "unknown MIDI output " + choice;
    }
    if (port && !options.midiFile.empty()) {
        port = platform::recordToMidiFile(std::move(port), options.midiFile, clock, error);
    }
    return port;
}

}  // namespace glassfalls
