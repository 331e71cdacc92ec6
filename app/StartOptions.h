// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/gfx/DeviceTypes.h"

namespace glassfalls {

// The size of the frame the piece draws, in pixels.
struct FrameSize {
    int width = 0, height = 0;
    friend bool operator==(const FrameSize&, const FrameSize&) = default;
};
// The frames of a headless run unless --size says otherwise: the piece's own picture.
inline constexpr FrameSize kPieceFrame{640, 480};

// How a frame that is not 4:3 shows the piece: its 4:3 picture between black bars, or
// widened to the sides with the vertical field of view kept (Hor+).
enum class Aspect { Letterbox, Fill };

// The file of an --instrument "file:FILE".
inline std::string instrumentFile(const std::string& source) { return source.substr(source.find(':') + 1); }

// What the command line asks of a run.
struct StartOptions {
    bool windowed = false;
    bool headless = false;
    std::optional<int> display;  // the display the window goes on; the first when not given
    platform::gfx::Renderer renderer = platform::gfx::Renderer::Auto;  // which OpenGL draws
    std::optional<FrameSize> size;  // --size WxH; none: the drawable's own (kPieceFrame headless)
    Aspect aspect = Aspect::Letterbox;
    std::optional<int> msaa;  // samples a pixel; none: 4 on a hardware driver, else 0
    std::string picturesUrl;  // in a page: the picture server's WebSocket, instead of glassFalls.ini's
    float viewTurn = 0;       // degrees the performance's camera is turned about the vertical axis
    std::string dataDir = "data";
    bool dataChosen = false;             // --data was given
    std::optional<uint64_t> frameLimit;  // end normally after this many scene advances
    std::string audioDevice;             // capture device name; empty: the default
    std::string audioFile;               // a WAV file to hear instead of the microphone
    std::string instrument;              // "file:FILE.mid" played instead of the microphone; empty: none
    std::string midi = "synth";          // "synth", "alsa:PORT" or "none"
    bool midiChosen = false;             // --midi was given: a MIDI output that fails ends start-up
    std::string soundfont;               // empty: the system's default General MIDI soundfont
    std::string midiFile;                // also record every MIDI message here
    std::string keysFile;                // key presses from a script; empty: the keyboard
    std::string audioOut;                // headless: the synthesiser's sound as a WAV file here
    std::string videoFile;               // headless: the frames and the sound as a video here
    bool videoInputSound = false;        // the video's sound has the --audio-file sound mixed in
    std::string melodyFile;              // the melody to follow; empty: DIR/music.dat if there
    std::string screenshotDir;           // empty: no screenshots
    uint64_t screenshotEvery = 1;        // a screenshot after every K-th advance
    std::optional<int> oscPort;          // listen for show control on this UDP port
    std::string lead;                    // send every advance's input to GROUP:PORT (or HOST:PORT,...)
    std::string follow;                  // advance on the inputs of the leader heard on GROUP:PORT
};

}  // namespace glassfalls
