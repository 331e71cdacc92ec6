// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "platform/sound/MidiPort.h"

namespace glassfalls {

// The MIDI output the performers sound their notes on: channel 1, short messages only.
class MidiOut {
public:
    static constexpr uint8_t kNoNote = 255;

    virtual ~MidiOut();

    // Takes the output; fails (and nothing changes) when one is already open or none given.
    platform::Expected<void> open(std::unique_ptr<platform::MidiPort> port);
    // Silences every note still sounding, then lets the output go. True when nothing was
    // open.
    bool close();
    bool isOpen() const { return port_ != nullptr; }

    // status | data1 << 8 | data2 << 16, each byte masked to 8 bits.
    void send(uint8_t status, uint8_t data1, uint8_t data2);
    // The messages from the previous segment's note to the new one.
    void noteChange(uint8_t newNote, uint8_t newVelocity, uint8_t previousNote, uint8_t previousVelocity);
    // Note-off for the eight notes a performer can play.
    void allNotesOff();
    // Makes what was sent durable (a MIDI file), once per frame.
    void flush();

    static uint32_t pack(uint8_t status, uint8_t data1, uint8_t data2);

private:
    void silenceSoundingNotes();

    std::unique_ptr<platform::MidiPort> port_;
    // How many note-ons without a note-off each note has had, so that no note is left
    // sounding on a synthesiser when the piece ends.
    std::array<uint16_t, 128> sounding_{};
};

}  // namespace glassfalls
