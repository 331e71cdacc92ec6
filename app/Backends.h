// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>

#include "app/StartOptions.h"
#include "platform/input/Keyboard.h"
#include "platform/os/Clock.h"
#include "platform/sound/CaptureSource.h"
#include "platform/sound/MidiPort.h"
#include "platform/sound/SoundSink.h"
#include "platform/window/Window.h"

// The one place that decides, from the options, which backend of each operating-system
// service the piece runs on: headless runs get the virtual clock, no devices and an
// off-screen window; live runs the real ones.
namespace glassfalls {

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

}  // namespace glassfalls
