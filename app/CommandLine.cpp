// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"

#include <CLI/CLI.hpp>
#include <cstdio>

#include "app/Backends.h"
#include "app/Version.h"
#include "platform/sound/MidiPort.h"

namespace glassfalls {

namespace {

// True for PREFIX followed by a name, for one of `prefixes` ("alsa:Keystation").
bool namedAfter(const std::string& value, std::initializer_list<const char*> prefixes) {
    for (const char* prefix : prefixes) {
        const size_t length = std::char_traits<char>::length(prefix);
        if (value.size() > length && value.compare(0, length, prefix) == 0) return true;
    }
    return false;
}

// "WxH" with both at least 1 and at most 16384; nothing otherwise.
std::optional<FrameSize> frameSizeNamed(const std::string& value) {
    const size_t x = value.find('x');
    auto side = [](const std::string& digits) -> std::optional<int> {
        if (digits.empty() || digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string::npos)
            return std::nullopt;
        const int n = std::stoi(digits);
        if (n < 1 || n > 16384) return std::nullopt;
        return n;
    };
    if (x == std::string::npos) return std::nullopt;
    const auto width = side(value.substr(0, x)), height = side(value.substr(x + 1));
    if (!width || !height) return std::nullopt;
    return FrameSize{*width, *height};
}

// A count given on the command line: digits only, at least 1.
const CLI::Validator kWholeNumberFromOne(
    [](const std::string& value) {
        const bool digits =
            !value.empty() && value.size() < 19 && value.find_first_not_of("0123456789") == std::string::npos;
        if (digits && std::stoull(value) >= 1) return std::string();
        return std::string("must be a whole number of at least 1");
    },
    "N");

}  // namespace

void describeOptions(CLI::App& cli, CommandLine& line) {
    cli.description(
        "glassFalls: eight performers grow glass trails over water from what the "
        "microphone hears (or a stored melody).");
    cli.name("glassfalls");
    cli.set_version_flag("--version", std::string("glassfalls ") + kVersion);
    cli.add_flag("--windowed", line.start.windowed,
                 "Run in a resizable window, 640x480 at first, instead of full screen");
    cli.add_option("--display", line.start.display,
                   "Put the window (full screen or not) on display N, counted from 0 (see --list-devices)")
        ->check(CLI::NonNegativeNumber);
    cli.add_option_function<std::string>(
           "--renderer",
           [&line](const std::string& name) {
               line.start.renderer = platform::gfx::rendererNamed(name).value_or(platform::gfx::Renderer::Auto);
           },
           "How to draw: compat (OpenGL's fixed function, 3.0 or later), core (shaders on OpenGL 3.3 "
           "core) or es (shaders on OpenGL ES 3.0, as on a Raspberry Pi); auto takes the first of these "
           "the driver gives and says why it passed over any. A choice the driver cannot give ends "
           "start-up with status 2")
        ->check([](const std::string& name) {
            return platform::gfx::rendererNamed(name) ? std::string() : std::string("must be auto, compat, core or es");
        })
        ->default_str("auto");
    cli.add_option("--size", line.size,
                   "The size of the frame the piece draws: native (the default: the window's or screen's own "
                   "pixels, following resizes) or WxH, drawn at that size and scaled to the window; with "
                   "--headless the default is 640x480, and WxH sets the size of the screenshots and the video")
        ->capture_default_str();
    cli.add_option_function<std::string>(
           "--aspect",
           [&line](const std::string& value) {
               line.start.aspect = value == "fill" ? Aspect::Fill : Aspect::Letterbox;
           },
           "For a frame that is not 4:3: letterbox (the piece's 4:3 picture between black bars) or fill "
           "(the same height of view, widened to the sides: a 16:9 wall shows more of the water)")
        ->check(CLI::IsMember({"letterbox", "fill"}))
        ->default_str("letterbox");
    cli.add_option("--msaa", line.start.msaa,
                   "Antialiasing samples a pixel: 0, 2, 4 or 8 (default 4 on a hardware driver, 0 on a "
                   "software rasteriser and with --headless); more than the driver offers is lowered to "
                   "its most, said once")
        ->check(CLI::IsMember({0, 2, 4, 8}));
    cli.add_option("--pictures", line.start.picturesUrl,
                   "In a web browser: take the network pictures from the picture server's WebSocket at "
                   "URL (ws://HOST:PORT, its --websocket-port) instead of the one glassFalls.ini names")
        ->check([](const std::string& value) {
            return value.rfind("ws://", 0) == 0 || value.rfind("wss://", 0) == 0
                       ? std::string()
                       : std::string("must be ws://HOST:PORT");
        });
    cli.add_option("--view-turn", line.start.viewTurn,
                   "See the performance from another side: the camera turned by DEG degrees about the "
                   "water's vertical axis, on top of the arrow keys' turn (a wall of four: 0, 90, 180, "
                   "270; -360 ... 360). Only the picture turns: what the piece plays is the same")
        ->check(CLI::Range(-360.0f, 360.0f));
    cli.add_option("--data", line.start.dataDir,
                   "Directory holding the pictures, the title model, the optional melody "
                   "music.dat and the optional settings glassFalls.ini (default: data in the "
                   "working directory, else the installed data set)");
    cli.add_option("--melody", line.start.melodyFile,
                   "Follow the melody in FILE (the format of music.dat, see examples/README) "
                   "instead of the data directory's music.dat; e.g. examples/music.dat");
    auto* headless = cli.add_flag("--headless", line.start.headless,
                                  "No window and no waiting: draw off-screen on a virtual clock that jumps to "
                                  "the next due frame");
    cli.add_option("--frames", line.start.frameLimit, "End normally after N scene advances")
        ->check(kWholeNumberFromOne);
    auto* keys = cli.add_option("--keys", line.start.keysFile,
                                "Play key presses from FILE: lines \"ADVANCE KEY down|up\", KEY one of "
                                "Escape Enter Left Right, ADVANCE counted from 1; a script that cannot be "
                                "read or has a bad line ends the program with status 2");
    auto* device = cli.add_option("--audio-device", line.start.audioDevice,
                                  "Listen to the capture device called NAME (see --list-devices) "
                                  "instead of the default microphone");
    auto* audioFile = cli.add_option("--audio-file", line.start.audioFile,
                                     "Hear FILE (any WAV) instead of the microphone, in 100 ms blocks on the "
                                     "program's clock, then silence")
                          ->excludes(device);
    auto* instrument =
        cli.add_option("--instrument", line.start.instrument,
                       "Play the piece from an instrument instead of the microphone: alsa:PORT, a keyboard on "
                       "the ALSA sequencer by client name, name prefix or client:port (see --list-devices), taken "
                       "up again when it comes back; file:FILE.mid, a Standard "
                       "MIDI File played from the first performance frame on the program's clock (with --listen, "
                       "from the start); or osc, notes from show control (/glassfalls/note i NOTE i VELOCITY, "
                       "velocity 0 a note-off; needs --osc-port). Each frame the performers hear the newest note held, "
                       "moved by octaves "
                       "into C4 ... B4 (C5 stays), a black key as the white key below, as loud as its velocity")
            ->check([](const std::string& value) {
                return value == "osc" || namedAfter(value, {"alsa:", "file:"})
                           ? std::string()
                           : std::string("must be alsa:PORT, file:FILE.mid or osc");
            })
            ->excludes(device)
            ->excludes(audioFile);
    cli.add_option("--midi", line.start.midi,
                   "Where the notes go: synth (the built-in General MIDI synthesiser on the "
                   "audio output; in memory with --headless), alsa:PORT (an ALSA sequencer "
                   "port by client name, name prefix or client:port, see --list-devices), web:NAME (in a "
                   "browser: the Web MIDI output whose name begins with NAME) or none")
        ->check([](const std::string& value) {
            if (value == "synth" || value == "none" || namedAfter(value, {"alsa:", "web:"})) return std::string();
            return std::string("must be synth, alsa:PORT, web:NAME or none");
        })
        ->capture_default_str();
    cli.add_option(
        "--soundfont", line.start.soundfont,
        std::string("The soundfont of the built-in synthesiser (default ") + platform::kDefaultSoundfont + ")");
    auto* midiFile = cli.add_option("--midi-file", line.start.midiFile,
                                    "Also write every MIDI message to FILE, a Standard MIDI File timed in "
                                    "milliseconds of the program's clock; valid even if the program is killed");
    auto* screenshots = cli.add_option("--screenshots", line.start.screenshotDir,
                                       "Write the drawn frame (640x480, or --size) as DIR/frame-NNNNNN.png (NNNNNN the "
                                       "advance) after every K-th scene advance; DIR is created if missing");
    cli.add_option("--every", line.start.screenshotEvery, "With --screenshots: take one after every K-th advance")
        ->check(kWholeNumberFromOne)
        ->needs(screenshots)
        ->capture_default_str();
    cli.add_option("--audio-out", line.start.audioOut,
                   "With --headless: write the built-in synthesiser's sound to FILE, a 16-bit "
                   "stereo WAV in step with the frames (the title is silent)")
        ->needs(headless);
    auto* video = cli.add_option("--video", line.start.videoFile,
                                 "With --headless: write every drawn frame, at the time it was drawn, and the "
                                 "synthesiser's sound to FILE, a video (H.264 and AAC; the container by the "
                                 "name's ending: .mp4, .mkv or .mov)")
                      ->needs(headless);
    cli.add_flag("--video-input-sound", line.start.videoInputSound,
                 "With --video and --audio-file: mix the heard file into the video's sound, so "
                 "the recording carries the voice the performers answered")
        ->needs(video)
        ->needs(audioFile);
    auto* osc = cli.add_option("--osc-port", line.start.oscPort,
                               "Take show control over OSC on UDP port N of every interface: "
                               "/glassfalls/enter, /glassfalls/escape, /glassfalls/left i 1|0, "
                               "/glassfalls/right i 1|0 and /glassfalls/status [i PORT] (see README, "
                               "Show control); off unless given")
                    ->check(CLI::Range(1, 65535));
    auto lockstepAddress = [](const std::string& value) {
        return lockstepAddressNamed(value) ? std::string()
                                           : std::string(
                                                 "must be GROUP:PORT (a multicast group such as 239.0.0.7:7400) "
                                                 "or HOST:PORT[,HOST:PORT]...");
    };
    auto* lead = cli.add_option("--lead", line.start.lead,
                                "Lead several screens: send every advance's input, numbered, to the followers at "
                                "GROUP:PORT (a multicast group) or HOST:PORT[,HOST:PORT]...; this machine hears, "
                                "plays and takes the pictures for all (see README, Several screens)")
                     ->check(lockstepAddress);
    cli.add_option("--follow", line.start.follow,
                   "Follow a leader heard on GROUP:PORT (joining the multicast group) or on HOST:PORT (this "
                   "machine's address): advance exactly on its inputs and draw the same frames, from "
                   "--view-turn's side; no microphone, MIDI or picture link of its own")
        ->check(lockstepAddress)
        ->excludes(lead)
        ->excludes(device)
        ->excludes(audioFile)
        ->excludes(instrument)
        ->excludes(keys)
        ->excludes(midiFile)
        ->excludes(osc);
    cli.add_flag("--list-devices", line.listDevices, "Print the capture devices and the ALSA MIDI ports, and exit");
    cli.add_flag("--listen", line.listen,
                 "Check the microphone (or --audio-file) without a window: print ten times a "
                 "second on one line how loud it is, the level and the note the performers "
                 "would hear, and whether a performance would start; until Ctrl-C or the end "
                 "of the file (with --headless, as fast as the file allows)");
    // The help tells the truth about a build made without some backends.
    for (const MissingBackend& missing : missingBackends()) {
        CLI::Option* option = cli.get_option(missing.option.substr(0, missing.option.find(' ')));
        option->description(option->get_description() + " [" + missing.option + ": this build has no " + missing.what +
                            "]");
    }
}

std::optional<CommandLine> parseCommandLine(int argc, const char* const* argv, int& exitCode) {
    CommandLine line;
    CLI::App cli;
    // The options file comes first: an option given again on the command line wins.
    cli.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    describeOptions(cli, line);
    try {
        cli.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        exitCode = cli.exit(e);
        return std::nullopt;
    }
    // A size the piece cannot draw is a mistake in the run, not in the command line's form.
    if (line.size != "native") {
        line.start.size = frameSizeNamed(line.size);
        if (!line.start.size) {
            std::fprintf(stderr, "glassfalls: --size %s: must be native or WxH, each from 1 to 16384, e.g. 1920x1080\n",
                         line.size.c_str());
            exitCode = 2;
            return std::nullopt;
        }
    }
    // A keyboard is played in the room's time; a headless run's clock runs as fast as it can.
    if (line.start.instrument.rfind("alsa:", 0) == 0 && line.start.headless) {
        std::fprintf(stderr,
                     "glassfalls: --instrument %s is played live and cannot drive a --headless run, whose clock "
                     "does not keep the room's time\n",
                     line.start.instrument.c_str());
        exitCode = 2;
        return std::nullopt;
    }
    if (line.start.instrument == "osc" && !line.start.oscPort) {
        std::fprintf(stderr, "glassfalls: --instrument osc: needs --osc-port N, where the notes arrive\n");
        exitCode = 2;
        return std::nullopt;
    }
    // A follower's notes are played by its leader.
    if (!line.start.follow.empty() && cli.get_option("--midi")->count() > 0) {
        std::fprintf(stderr, "glassfalls: --follow: the leader plays the notes; a follower takes no --midi\n");
        exitCode = 2;
        return std::nullopt;
    }
    line.start.midiChosen = cli.get_option("--midi")->count() > 0;
    line.start.dataChosen = cli.get_option("--data")->count() > 0;
    exitCode = 0;
    return line;
}

}  // namespace glassfalls
