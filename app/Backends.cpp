// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Backends.h"

#include <cstdio>
#include <cstdlib>

#include "app/MidiFileInstrument.h"
#include "app/MidiInputInstrument.h"
#include "platform/os/Browser.h"
#include "platform/sound/ReconnectingCapture.h"
#include "platform/sound/ReconnectingMidiPort.h"

// The optional backends this build was made with (see cmake/Backends.cmake).
#if GLASSFALLS_WITH_ALSA
#include "platform/alsa/AlsaSequencer.h"
#endif
#if GLASSFALLS_WITH_FLUIDSYNTH
#include "platform/synth/FluidSynthPort.h"
#include "platform/synth/SynthRecorder.h"
#endif
#if GLASSFALLS_WITH_SYSTEMD
#include "platform/systemd/SystemdNotifier.h"
#endif
#if GLASSFALLS_WITH_OSC
#include "app/LockstepFollower.h"
#include "app/LockstepLeader.h"
#include "app/ShowControl.h"
#endif
#if GLASSFALLS_WITH_PICTURE_LINK
#include "app/PictureLinkSource.h"
#elif defined(__EMSCRIPTEN__)
#include "app/BrowserPictureLink.h"
#endif

namespace glassfalls {

namespace {

constexpr bool kWithAlsa = GLASSFALLS_WITH_ALSA;
constexpr bool kWithSynthesiser = GLASSFALLS_WITH_FLUIDSYNTH;
constexpr bool kWithOsc = GLASSFALLS_WITH_OSC;
constexpr bool kWithVideo = GLASSFALLS_WITH_VIDEO;

std::string noBackend(const std::string& what) { return "this build has no " + what; }

}  // namespace

std::vector<MissingBackend> missingBackends() {
    std::vector<MissingBackend> missing;
    if (!kWithAlsa) {
        missing.push_back({"--midi alsa:PORT", "ALSA sequencer"});
        missing.push_back({"--instrument alsa:PORT", "ALSA sequencer"});
    }
    if (!kWithSynthesiser && !platform::kInBrowser) missing.push_back({"--midi synth", "built-in synthesiser"});
    if (!kWithSynthesiser) {
        missing.push_back({"--soundfont", "built-in synthesiser"});
        missing.push_back({"--audio-out", "built-in synthesiser"});
    }
    if (!kWithVideo) missing.push_back({"--video", "video recording"});
    if (!kWithOsc) {
        missing.push_back({"--osc-port", "show control over OSC"});
        missing.push_back({"--lead", "OSC for several screens"});
        missing.push_back({"--follow", "OSC for several screens"});
    }
    return missing;
}

platform::Expected<void> refuseMissingBackends(const StartOptions& options) {
    auto refuse = [](const std::string& option, const std::string& what) {
        return platform::failure(option + ": " + noBackend(what));
    };
    if (!kWithAlsa && options.midi.rfind("alsa:", 0) == 0) return refuse("--midi " + options.midi, "ALSA sequencer");
    if (!platform::kInBrowser && !options.picturesUrl.empty())
        return refuse("--pictures", "WebSocket picture link (a page's)");
    if (!platform::kInBrowser && options.midi.rfind("web:", 0) == 0)
        return refuse("--midi " + options.midi, "Web MIDI (a page's)");
    if (!kWithAlsa && options.instrument.rfind("alsa:", 0) == 0)
        return refuse("--instrument " + options.instrument, "ALSA sequencer");
    // A page has a synthesiser of its own, which plays a soundfont of its own and is not recorded.
    if (!kWithSynthesiser && !platform::kInBrowser && options.midiChosen && options.midi == "synth")
        return refuse("--midi synth", "built-in synthesiser");
    if (!kWithSynthesiser) {
        if (!options.soundfont.empty()) return refuse("--soundfont", "built-in synthesiser");
        if (!options.audioOut.empty()) return refuse("--audio-out", "built-in synthesiser");
    }
    if (!kWithVideo && !options.videoFile.empty()) return refuse("--video", "video recording");
    if (!kWithOsc && options.oscPort) return refuse("--osc-port", "show control over OSC");
    if (!kWithOsc && !options.lead.empty()) return refuse("--lead", "OSC for several screens");
    if (!kWithOsc && !options.follow.empty()) return refuse("--follow", "OSC for several screens");
    return {};
}

void quietenDeviceLibraries() {
#if GLASSFALLS_WITH_ALSA
    platform::quietenAlsaDiagnostics();
#endif
}

std::optional<std::vector<std::string>> listMidiPorts() {
#if GLASSFALLS_WITH_ALSA
    return platform::listAlsaPorts();
#else
    return std::nullopt;
#endif
}

std::optional<std::vector<std::string>> listInstrumentPorts() {
#if GLASSFALLS_WITH_ALSA
    return platform::listAlsaInputs();
#else
    return std::nullopt;
#endif
}

bool hasBuiltInSynthesiser() { return kWithSynthesiser || platform::kInBrowser; }

namespace {

platform::Expected<std::unique_ptr<InstrumentSource>> openSequencerInstrument(const std::string& source,
                                                                              platform::Clock& clock) {
#if GLASSFALLS_WITH_ALSA
    auto open = [source] { return platform::openAlsaInput(source); };
    auto input = open();
    if (!input) return platform::Failure{input.error()};
    return std::unique_ptr<InstrumentSource>(
        std::make_unique<MidiInputInstrument>(open, std::move(*input), clock.now()));
#else
    (void)source, (void)clock;
    return platform::failure(noBackend("ALSA sequencer"));
#endif
}

}  // namespace

platform::Expected<PickedInstrument> pickInstrument(const StartOptions& options, platform::Clock& clock) {
    PickedInstrument picked;
    const std::string& choice = options.instrument;
    if (choice.empty()) return picked;
    if (choice == "osc") {
        auto live = std::make_unique<LiveInstrument>();
        picked.playedOverOsc = &live->notes;
        picked.source = std::move(live);
        return picked;
    }
    if (choice.rfind("alsa:", 0) == 0) {
        auto played = openSequencerInstrument(choice.substr(5), clock);
        if (!played) return platform::failure("--instrument " + choice + ": " + played.error());
        picked.source = std::move(*played);
        return picked;
    }
    auto song = MidiFileInstrument::load(instrumentFile(choice));
    if (!song) return platform::failure("--instrument " + choice + ": " + song.error());
    picked.source = std::make_unique<MidiFileInstrument>(std::move(*song));
    return picked;
}

platform::Expected<std::unique_ptr<LeaderLink>> openLeaderLink(const LockstepAddress& followers,
                                                               uint64_t dataFingerprint,
                                                               std::function<std::vector<uint8_t>()> snapshot) {
#if GLASSFALLS_WITH_OSC
    auto leader = std::make_unique<LockstepLeader>(followers, dataFingerprint, std::move(snapshot));
    GLASSFALLS_TRY(leader->open());
    return std::unique_ptr<LeaderLink>(std::move(leader));
#else
    (void)followers, (void)dataFingerprint, (void)snapshot;
    return platform::failure("--lead: " + noBackend("OSC for several screens"));
#endif
}

platform::Expected<std::unique_ptr<FollowerLink>> openFollowerLink(const LockstepAddress& heardOn,
                                                                   uint64_t dataFingerprint, bool catchUp) {
#if GLASSFALLS_WITH_OSC
    auto follower = std::make_unique<LockstepFollower>(heardOn, dataFingerprint, catchUp);
    GLASSFALLS_TRY(follower->open());
    return std::unique_ptr<FollowerLink>(std::move(follower));
#else
    (void)heardOn, (void)dataFingerprint, (void)catchUp;
    return platform::failure("--follow: " + noBackend("OSC for several screens"));
#endif
}

platform::Expected<std::unique_ptr<OutsideSource>> openShowControl(int port, platform::RemoteKeys& keys,
                                                                   std::function<ShowStatus()> status,
                                                                   HeldNotes* notes) {
#if GLASSFALLS_WITH_OSC
    auto control = std::make_unique<ShowControl>(keys, std::move(status), notes);
    GLASSFALLS_TRY(control->open(port));
    return std::unique_ptr<OutsideSource>(std::move(control));
#else
    (void)port, (void)keys, (void)status, (void)notes;
    return platform::failure("--osc-port: " + noBackend("show control over OSC"));
#endif
}

platform::Expected<std::unique_ptr<OutsideSource>> openPictureLink(const std::string& host, int32_t port) {
#if GLASSFALLS_WITH_PICTURE_LINK
    auto link = std::make_unique<PictureLinkSource>();
    GLASSFALLS_TRY(link->open(host, port));
    return std::unique_ptr<OutsideSource>(std::move(link));
#elif defined(__EMSCRIPTEN__)
    // A page has no sockets of its own: the server's WebSocket port.
    return openWebSocketPictureLink("ws://" + host + ":" + std::to_string(port));
#else
    return platform::failure(noBackend("picture link") + " to reach the picture server " + host + ":" +
                             std::to_string(port));
#endif
}

platform::Expected<std::unique_ptr<OutsideSource>> openWebSocketPictureLink(const std::string& url) {
#if defined(__EMSCRIPTEN__)
    return std::unique_ptr<OutsideSource>(std::make_unique<BrowserPictureLink>(url));
#else
    return platform::failure("--pictures " + url + ": " + noBackend("WebSocket picture link (a page's)"));
#endif
}

std::unique_ptr<platform::ServiceNotifier> pickServiceNotifier() {
#if GLASSFALLS_WITH_SYSTEMD
    return std::make_unique<platform::SystemdNotifier>();
#else
    // A unit of Type=notify would wait for a ready notice that never comes, and restart the
    // piece when its start-up time is up.
    if (std::getenv("NOTIFY_SOCKET")) {
        std::fprintf(stderr,
                     "glassfalls: the service manager asks for notices, and %s; give its unit Type=simple and "
                     "no WatchdogSec\n",
                     noBackend("systemd notices").c_str());
    }
    return std::make_unique<platform::NullServiceNotifier>();
#endif
}

std::unique_ptr<platform::Clock> pickClock(const StartOptions& options) {
    // A follower advances when its leader's inputs come, in the room's time even headless.
    if (options.headless && options.follow.empty()) return std::make_unique<platform::VirtualClock>();
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
    // A headless run touches no devices: without a file it hears silence; an instrument
    // plays in place of the microphone.
    if (options.headless || !options.instrument.empty()) return std::make_unique<platform::SilentCapture>();
    // A page hears through Web Audio: SDL's capture there leaves the browser's gain control
    // and noise suppression on, and the piece would hear neither notes nor levels as sung.
    if constexpr (platform::kInBrowser) return platform::openBrowserCapture();
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
    // A page plays on its own synthesiser when it is seen; a headless page has no sound.
    if constexpr (platform::kInBrowser) {
        if (options.headless) return std::make_unique<platform::NullMidiPort>();
        return platform::openBrowserSynthesiser();
    }
#if !GLASSFALLS_WITH_FLUIDSYNTH
    (void)clock, (void)videoSound;
    // Headless runs play the synthesiser only into memory: without it nothing is lost there.
    if (!options.headless) {
        std::fprintf(stderr, "glassfalls: %s; running without sound%s\n", noBackend("built-in synthesiser").c_str(),
                     kWithAlsa ? " (--midi alsa:PORT plays on another)" : "");
    }
    return std::make_unique<platform::NullMidiPort>();
#else
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
#endif
}

platform::Expected<Port> openChosenPort(const StartOptions& options, platform::Clock& clock,
                                        platform::SoundSink* videoSound) {
    const std::string& choice = options.midi;
    if (!options.audioOut.empty() && choice != "synth") {
        return platform::failure("--audio-out records the built-in synthesiser: leave out --midi or give --midi synth");
    }
    if (choice == "synth") return openSynthesiser(options, clock, videoSound);
#if GLASSFALLS_WITH_ALSA
    if (choice.rfind("alsa:", 0) == 0) {
        const std::string destination = choice.substr(5);
        auto open = [destination] { return platform::openAlsaPort(destination); };
        auto port = open();
        if (!port) return port;
        // A port that goes away later is connected to again when it is back.
        return std::make_unique<platform::ReconnectingMidiPort>(open, std::move(*port), clock);
    }
#endif
    if constexpr (platform::kInBrowser) {
        if (choice.rfind("web:", 0) == 0) return platform::openWebMidiPort(choice.substr(4));
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
