// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sound/MidiFileRecorder.h"

#include <cerrno>
#include <cstring>

#include "platform/os/Clock.h"

namespace glassfalls::platform {

namespace {

constexpr long kTrackLengthAt = 18;  // after "MThd", its 6 bytes, "MTrk"
const std::vector<uint8_t> kEndOfTrack{0x00, 0xFF, 0x2F, 0x00};
// The same four bytes as the end marker: delta 0, an empty text meta event.
const std::vector<uint8_t> kEmptyText{0x00, 0xFF, 0x01, 0x00};

void appendVariableLength(std::vector<uint8_t>& out, uint32_t value) {
    uint8_t groups[5];
    int count = 0;
    do {
        groups[count++] = static_cast<uint8_t>(value & 0x7F);
        value >>= 7;
    } while (value != 0);
    while (count > 0) {
        --count;
        out.push_back(static_cast<uint8_t>(groups[count] | (count > 0 ? 0x80 : 0x00)));
    }
}

std::vector<uint8_t> bigEndian32(uint32_t value) {
    return {static_cast<uint8_t>(value >> 24), static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 8),
            static_cast<uint8_t>(value)};
}

// Every message's length by its status: program change and channel pressure carry one
// data byte, the other channel messages two.
int dataBytes(uint8_t status) {
    const uint8_t kind = status & 0xF0;
    return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

}  // namespace

MidiFileRecorder::~MidiFileRecorder() {
    flush();
    if (file_) std::fclose(file_);
}

Expected<void> MidiFileRecorder::open(const std::string& path) {
    file_ = std::fopen(path.c_str(), "wb+");
    if (!file_) return failure("cannot write the MIDI file " + path + ": " + std::strerror(errno));
    // Header, then a track holding the tempo and its end marker.
    std::vector<uint8_t> start{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x03, 0xE8, 'M', 'T', 'r', 'k'};
    const std::vector<uint8_t> tempo{0x00, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40};
    trackLength_ = static_cast<uint32_t>(tempo.size() + kEndOfTrack.size());
    for (uint8_t b : bigEndian32(trackLength_)) start.push_back(b);
    start.insert(start.end(), tempo.begin(), tempo.end());
    endMarkerAt_ = static_cast<long>(start.size());
    start.insert(start.end(), kEndOfTrack.begin(), kEndOfTrack.end());
    if (!writeAt(0, start)) return failure("cannot write the MIDI file " + path + ": " + std::strerror(errno));
    return {};
}

void MidiFileRecorder::record(uint32_t message, uint32_t millisecond) {
    if (!file_) return;
    const uint32_t tick = millisecond < lastTick_ ? lastTick_ : millisecond;
    appendVariableLength(pending_, tick - lastTick_);
    lastTick_ = tick;
    const auto status = static_cast<uint8_t>(message & 0xFF);
    pending_.push_back(status);
    pending_.push_back(static_cast<uint8_t>((message >> 8) & 0x7F));
    if (dataBytes(status) == 2) pending_.push_back(static_cast<uint8_t>((message >> 16) & 0x7F));
}

void MidiFileRecorder::flush() {
    if (!file_ || pending_.empty()) return;
    const long newEventsAt = endMarkerAt_ + static_cast<long>(kEndOfTrack.size());
    std::vector<uint8_t> tail = pending_;
    tail.insert(tail.end(), kEndOfTrack.begin(), kEndOfTrack.end());
    const uint32_t newLength = trackLength_ + static_cast<uint32_t>(tail.size());
    if (!writeAt(newEventsAt, tail) || !writeAt(kTrackLengthAt, bigEndian32(newLength)) ||
        !writeAt(endMarkerAt_, kEmptyText)) {
        return;  // the file stays valid up to the last complete flush
    }
    trackLength_ = newLength;
    endMarkerAt_ = newEventsAt + static_cast<long>(pending_.size());
    pending_.clear();
}

bool MidiFileRecorder::writeAt(long offset, const std::vector<uint8_t>& bytes) {
    return std::fseek(file_, offset, SEEK_SET) == 0 &&
           std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size() && std::fflush(file_) == 0;
}

namespace {

class RecordingPort final : public MidiPort {
public:
    RecordingPort(std::unique_ptr<MidiPort> inner, Clock& clock)
        : inner_(std::move(inner)), clock_(clock), start_(clock.now()) {}

    Expected<void> open(const std::string& path) { return recorder_.open(path); }

    void shortMessage(uint32_t message) override {
        inner_->shortMessage(message);
        recorder_.record(message, clock_.now() - start_);
    }
    void flush() override {
        inner_->flush();
        recorder_.flush();
    }
    std::string name() const override { return inner_->name(); }

private:
    std::unique_ptr<MidiPort> inner_;
    Clock& clock_;
    uint32_t start_;
    MidiFileRecorder recorder_;
};

}  // namespace

Expected<std::unique_ptr<MidiPort>> recordToMidiFile(std::unique_ptr<MidiPort> inner, const std::string& path,
                                                     Clock& clock) {
    auto port = std::make_unique<RecordingPort>(std::move(inner), clock);
    if (auto opened = port->open(path); !opened) return failure(opened.error());
    return port;
}

}  // namespace glassfalls::platform
