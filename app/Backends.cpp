// SPDX-License-Identifier: GPL-3.0-or-later
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

platform::Expected<std::unique_ptr<platform::Keyboard>> pickKeyboard(const StartOptions& options) {
    if (!options.keysFile.empty()) {
        auto script = platform::ScriptedKeyboard::load(options.keysFile);
        if (!script) return platform::failure(script.error());
        return std::make_unique<platform::ScriptedKeyboard>(std::move(*script));
    }
    if (options.headless) return std::make_unique<platform::NullKeyboard>();
    return std::make_unique<platform::SdlKeyboard>();
}

platform::WindowOpener pickWindowOpener() { return platform::openSdlWindow; }

platform::Expected<std::unique_ptr<platform::CaptureSource>> pickCapture(const StartOptions& options,
                                                                         platform::Clock& clock) {
    if (!options.audioFile.empty()) return platform::openWavCapture(options.audioFile, clock.now());
    // A headless run touches no devices: without a file it hears silence.
    if (options.headless) return std::make_unique<platform::SilentCapture>();
    const std::string name = options.audioDevice;
    auto open = [name] { return platform::openDeviceCapture(name); };
    auto device = open();
    // Without a microphone the piece still runs, hearing silence until one is plugged in.
    if (!device)
        std::fprintf(stderr, "glassfalls: %s; running on silence (see --list-devices)\n", device.error().c_str());
    return std::make_unique<platform::ReconnectingCapture>(open, device ? std::move(*device) : nullptr, clock.now());
}

namespace {

using Port = std::unique_ptr<platform::MidiPort>;

platform::Expected<Port> openSynthesiser(const StartOptions& options, platform::Clock& clock,
                                         platform::SoundSink* videoSound) {
    const std::string soundfont = options.soundfont.empty() ? platform::kDefaultSoundfont : options.soundfont;
    auto synth = std::make_unique<platform::FluidSynthPort>();
    const auto loaded = synth->loadSoundfont(soundfont);
    if (!options.audioOut.empty() || videoSound) {
        // Recording the sound needs the built-in synthesiser, in memory on the program's clock.
        if (!loaded) return platform::failure(loaded.error());
        return platform::recordSynth(std::move(synth), clock, options.audioOut, videoSound);
    }
    // Headless runs keep the synthesiser in memory and need no sound card.
    const auto playing = !loaded || options.headless ? loaded : synth->startAudio(clock);
    if (playing) return synth;
    // Without a sound card the piece runs silent, as it does without a microphone, unless the
    // synthesiser or its soundfont was asked for by name; a sound card that comes later is
    // played on.
    if (options.midiChosen || (!loaded && !options.soundfont.empty())) return platform::failure(playing.error());
    std::fprintf(stderr, "glassfalls: %s; running without sound%s (see --list-devices)\n", playing.error().c_str(),
                 loaded ? " until an audio output is there" : "");
    if (loaded) return synth;
    return std::make_unique<platform::NullMidiPort>();
}

platform::Expected<Port> openChosenPort(const StartOptions& options, platform::Clock& clock,
                                        platform::SoundSink* videoSound) {
    const std::string& choice = options.midi;
    if (!options.audioOut.empty() && choice != "synth") {
        return platform::failure("--audio-out records the built-in synthesiser: leave out --midi or give --midi synth");
    }
    if (choice == "synth") return openSynthesiser(options, clock, videoSound);
    if (choice.rfind("alsa:", 0) == 0) {
        const std::string destination = choice.substr(5);
        auto open = [destination] { return platform::openAlsaPort(destination); };
        auto port = open();
        if (!port) return port;
        // A port that goes away later is connected to again when it is back.
        return std::make_unique<platform::ReconnectingMidiPort>(open, std::move(*port), clock);
    }
    if (choice == "none") return std::make_unique<platform::NullMidiPort>();
    return platform::failure("unknown MIDI output " + choice);
}

}  // namespace

platform::Expected<Port> pickMidiPort(const StartOptions& options, platform::Clock& clock,
                                      platform::SoundSink* videoSound) {
    auto port = openChosenPort(options, clock, videoSound);
    if (!port || options.midiFile.empty()) return port;
    return platform::recordToMidiFile(std::move(*port), options.midiFile, clock);
}

}  // namespace glassfalls
