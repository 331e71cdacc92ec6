// SPDX-License-Identifier: GPL-3.0-or-later
#include "performer/MidiOut.h"

namespace glassfalls {

namespace {
constexpr uint8_t kNoteOff = 0x80, kNoteOn = 0x90, kController = 0xB0, kProgramChange = 0xC0;
constexpr uint8_t kVolume = 7, kReleaseVelocity = 64, kProgram = 16;
constexpr uint8_t kPlayableNotes[] = {60, 62, 64, 65, 67, 69, 71, 72};
}  // namespace

MidiOut::~MidiOut() { close(); }

platform::Expected<void> MidiOut::open(std::unique_ptr<platform::MidiPort> port) {
    if (port_) return platform::failure("a MIDI output is open already: " + port_->name());
    if (!port) return platform::failure("no MIDI output was given");
    port_ = std::move(port);
    sounding_ = {};
    return {};
}

bool MidiOut::close() {
    if (!port_) return true;
    silenceSoundingNotes();
    port_->flush();
    port_.reset();
    return true;
}

uint32_t MidiOut::pack(uint8_t status, uint8_t data1, uint8_t data2) {
    return static_cast<uint32_t>(status) | static_cast<uint32_t>(data1) << 8 | static_cast<uint32_t>(data2) << 16;
}

void MidiOut::send(uint8_t status, uint8_t data1, uint8_t data2) {
    if (!port_) return;
    const uint8_t note = data1 & 0x7F;
    if ((status & 0xF0) == kNoteOn && data2 != 0) {
        ++sounding_[note];
    } else if ((status & 0xF0) == kNoteOff || (status & 0xF0) == kNoteOn) {
        sounding_[note] = 0;
    }
    port_->shortMessage(pack(status, data1, data2));
}

void MidiOut::noteChange(uint8_t newNote, uint8_t newVelocity, uint8_t previousNote, uint8_t previousVelocity) {
    if (newNote == kNoNote) {
        if (previousNote != kNoNote) send(kNoteOff, previousNote, kReleaseVelocity);
        return;
    }
    if (newNote == previousNote) {
        // The sounding note is not struck again; only its loudness follows.
        if (newVelocity != previousVelocity) send(kController, kVolume, newVelocity);
        return;
    }
    if (previousNote != kNoNote) send(kNoteOff, previousNote, kReleaseVelocity);
    send(kProgramChange, kProgram, 0);
    send(kNoteOn, newNote, newVelocity);
}

void MidiOut::allNotesOff() {
    for (uint8_t note : kPlayableNotes) send(kNoteOff, note, kReleaseVelocity);
}

void MidiOut::flush() {
    if (port_) port_->flush();
}

void MidiOut::silenceSoundingNotes() {
    for (int note = 0; note < 128; ++note) {
        if (sounding_[static_cast<size_t>(note)] != 0) send(kNoteOff, static_cast<uint8_t>(note), kReleaseVelocity);
    }
}

}  // namespace glassfalls
