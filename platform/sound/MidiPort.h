// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/os/Expected.h"

namespace glassfalls::platform {

class Clock;

// Where MIDI short messages go. A message is one 32-bit word: status in the lowest byte,
// then the first and second data bytes. Main thread only.
class MidiPort {
public:
    virtual ~MidiPort() = default;
    virtual void shortMessage(uint32_t message) = 0;
    // Makes what was sent so far durable (files); ports that send at once need nothing.
    virtual void flush() {}
    // A short description of where the messages go, for messages to the user.
    virtual std::string name() const = 0;
    // True once the destination has gone (a port whose program or device went away).
    virtual bool lost() const { return false; }
};

// Messages go nowhere.
class NullMidiPort final : public MidiPort {
public:
    void shortMessage(uint32_t) override {}
    std::string name() const override { return "no MIDI output"; }
};

// In a web page: the page's own synthesiser, which starts playing once its soundfont is in;
// the notes sent before then are dropped.
std::unique_ptr<MidiPort> openBrowserSynthesiser();
// In a web page: the Web MIDI output whose name begins with `name`, where the browser grants
// one; what becomes of it is said on the page, and the notes are dropped while it is missing.
std::unique_ptr<MidiPort> openWebMidiPort(const std::string& name);

// Sends to `inner` and also writes every message to a Standard MIDI File at `path`, timed
// by `clock` from now on.
Expected<std::unique_ptr<MidiPort>> recordToMidiFile(std::unique_ptr<MidiPort> inner, const std::string& path,
                                                     Clock& clock);

// The soundfont the built-in synthesiser plays unless told otherwise.
inline constexpr const char* kDefaultSoundfont = "/usr/share/sounds/sf2/default-GM.sf2";

}  // namespace glassfalls::platform
