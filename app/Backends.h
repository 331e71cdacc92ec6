// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/InstrumentSource.h"
#include "app/Lockstep.h"
#include "app/LockstepWire.h"
#include "app/OutsideSource.h"
#include "app/ShowStatus.h"
#include "app/StartOptions.h"
#include "performer/Instrument.h"
#include "platform/input/Keyboard.h"
#include "platform/input/RemoteKeys.h"
#include "platform/os/Clock.h"
#include "platform/os/ServiceNotifier.h"
#include "platform/sound/CaptureSource.h"
#include "platform/sound/MidiPort.h"
#include "platform/sound/SoundSink.h"
#include "platform/window/Window.h"

// The one place that decides, from the options, which backend of each operating-system
// service the piece runs on: headless runs get the virtual clock, no devices and an
// off-screen window; live runs the real ones. It is also the one place that knows which
// optional backends this build was made with.
namespace glassfalls {

// An option that asks for a backend this build was made without.
struct MissingBackend {
    std::string option;  // "--video"
    std::string what;    // "video recording"
};
std::vector<MissingBackend> missingBackends();

// Refuses options that ask for a backend this build lacks, in one line such as "--video:
// this build has no video recording".
platform::Expected<void> refuseMissingBackends(const StartOptions& options);

// Keeps the device libraries' own diagnostics off standard error; the piece says in one
// line what it could not open. Before anything opens a device.
void quietenDeviceLibraries();

std::unique_ptr<platform::Clock> pickClock(const StartOptions& options);

// The key script when one is given, else the keyboard (none when headless). Fails when the
// script cannot be read.
platform::Expected<std::unique_ptr<platform::Keyboard>> pickKeyboard(const StartOptions& options);

platform::WindowOpener pickWindowOpener();

// The WAV file, else silence when headless, else the capture device, opened again whenever it
// was unplugged or missing. A device that cannot be opened is said once on standard error
// and heard as silence: the piece still runs. Fails only for a file that cannot be read.
platform::Expected<std::unique_ptr<platform::CaptureSource>> pickCapture(const StartOptions& options,
                                                                         platform::Clock& clock);

// The MIDI output the options name, recording to the MIDI file when one is asked for. Fails
// when it cannot be opened. The default synthesiser that cannot play is said once on
// standard error and replaced by no output, so the piece still runs (and records). With
// `videoSound`, the built-in synthesiser plays in memory into it as well.
platform::Expected<std::unique_ptr<platform::MidiPort>> pickMidiPort(const StartOptions& options,
                                                                     platform::Clock& clock,
                                                                     platform::SoundSink* videoSound);

// Whether the built-in synthesiser is in this build.
bool hasBuiltInSynthesiser();

// The ALSA sequencer ports that can receive MIDI; none when this build has no ALSA sequencer.
std::optional<std::vector<std::string>> listMidiPorts();
// The ALSA sequencer ports an instrument can be played from; none when this build has no ALSA
// sequencer.
std::optional<std::vector<std::string>> listInstrumentPorts();

// The instrument --instrument names, and where show control is to play its notes when it is
// played over OSC.
struct PickedInstrument {
    std::unique_ptr<InstrumentSource> source;
    HeldNotes* playedOverOsc = nullptr;
};
// None without --instrument. Fails, saying why, for a MIDI file that cannot be read or a port
// that is not there (listing those that are).
platform::Expected<PickedInstrument> pickInstrument(const StartOptions& options, platform::Clock& clock);

// Show control over OSC on `port`, pressing `keys`, answering with `status` and, with
// `notes`, playing the notes it is sent into them.
platform::Expected<std::unique_ptr<OutsideSource>> openShowControl(int port, platform::RemoteKeys& keys,
                                                                   std::function<ShowStatus()> status,
                                                                   HeldNotes* notes);

// Sending every advance's input to the followers at `followers`, from a free UDP port, and
// the piece as `snapshot` makes it to a follower that asks.
platform::Expected<std::unique_ptr<LeaderLink>> openLeaderLink(const LockstepAddress& followers,
                                                               uint64_t dataFingerprint,
                                                               std::function<std::vector<uint8_t>()> snapshot);
// Hearing a leader on `heardOn` (joining its multicast group); with `catchUp`, a follower far
// behind takes a snapshot rather than play every advance.
platform::Expected<std::unique_ptr<FollowerLink>> openFollowerLink(const LockstepAddress& heardOn,
                                                                   uint64_t dataFingerprint, bool catchUp);

// The picture link to the server at host:port.
platform::Expected<std::unique_ptr<OutsideSource>> openPictureLink(const std::string& host, int32_t port);

// In a page: the picture server's WebSocket at `url` (ws://HOST:PORT).
platform::Expected<std::unique_ptr<OutsideSource>> openWebSocketPictureLink(const std::string& url);

// The service manager's notices; none when this build cannot give them, said once when a
// service manager asks for them.
std::unique_ptr<platform::ServiceNotifier> pickServiceNotifier();

}  // namespace glassfalls
