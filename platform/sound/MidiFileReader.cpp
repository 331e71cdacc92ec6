// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sound/MidiFileReader.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "platform/os/WholeFile.h"

namespace glassfalls::platform {

namespace {

constexpr uint32_t kDefaultTempo = 500'000;  // microseconds a quarter note: 120 a minute

// Reads the bytes of one chunk, never past its end.
class ByteReader {
public:
    explicit ByteReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    bool atEnd() const { return at_ >= bytes_.size(); }
    size_t left() const { return bytes_.size() - at_; }

    std::optional<uint32_t> bigEndian(int count) {
        if (left() < static_cast<size_t>(count)) return std::nullopt;
        uint32_t value = 0;
        for (int i = 0; i < count; ++i) value = value << 8 | bytes_[at_++];
        return value;
    }
    std::optional<uint8_t> byte() {
        if (atEnd()) return std::nullopt;
        return bytes_[at_++];
    }
    // A variable-length quantity: at most four bytes, seven bits each.
    std::optional<uint32_t> quantity() {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            const auto b = byte();
            if (!b) return std::nullopt;
            value = value << 7 | (*b & 0x7Fu);
            if (!(*b & 0x80u)) return value;
        }
        return std::nullopt;
    }
    std::optional<std::span<const uint8_t>> take(size_t count) {
        if (left() < count) return std::nullopt;
        const auto part = bytes_.subspan(at_, count);
        at_ += count;
        return part;
    }

private:
    std::span<const uint8_t> bytes_;
    size_t at_ = 0;
};

struct TickedNote {
    uint64_t tick;
    MidiNoteEvent note;
};
struct TempoChange {
    uint64_t tick;
    uint32_t microsecondsPerQuarter;
};

// Data bytes a channel message of this status carries.
int dataBytesOf(uint8_t status) { return (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 1 : 2; }

Expected<void> readTrack(std::span<const uint8_t> chunk, int track, std::vector<TickedNote>& notes,
                         std::vector<TempoChange>& tempi) {
    const std::string where = "track " + std::to_string(track + 1);
    auto cut = [&where] { return failure(where + " is cut short"); };
    ByteReader in(chunk);
    uint64_t tick = 0;
    uint8_t running = 0;  // the status a data byte first continues; 0: none
    while (!in.atEnd()) {
        const auto delta = in.quantity();
        if (!delta) return cut();
        tick += *delta;
        auto first = in.byte();
        if (!first) return cut();
        uint8_t status = *first;
        if (status == 0xFF) {
            running = 0;
            const auto type = in.byte();
            const auto length = in.quantity();
            if (!type || !length) return cut();
            const auto data = in.take(*length);
            if (!data) return cut();
            if (*type == 0x2F) return {};  // the end of the track
            if (*type == 0x51 && data->size() == 3) {
                tempi.push_back({tick, static_cast<uint32_t>((*data)[0]) << 16 | (*data)[1] << 8 | (*data)[2]});
            }
            continue;
        }
        if (status == 0xF0 || status == 0xF7) {
            running = 0;
            const auto length = in.quantity();
            if (!length || !in.take(*length)) return cut();
            continue;
        }
        if (status >= 0xF0)
            return failure(where + " holds a system message " + std::to_string(status) + " a file cannot carry");
        uint8_t data[2] = {};
        int given = 0;
        if (status < 0x80) {
            // Running status: this is the first data byte of another message like the last.
            if (!running) return failure(where + " has a data byte where a status belongs");
            data[given++] = status;
            status = running;
        }
        running = status;
        while (given < dataBytesOf(status)) {
            const auto b = in.byte();
            if (!b) return cut();
            if (*b & 0x80u) return failure(where + " has a status byte where a data byte belongs");
            data[given++] = *b;
        }
        const uint8_t kind = status & 0xF0, channel = status & 0x0F;
        if (kind == 0x90) notes.push_back({tick, {0, channel, data[0], data[1]}});
        if (kind == 0x80) notes.push_back({tick, {0, channel, data[0], 0}});
    }
    // A track without its end event has still given every event it holds.
    return {};
}

}  // namespace

Expected<std::vector<MidiNoteEvent>> readMidiFile(std::span<const uint8_t> bytes) {
    ByteReader file(bytes);
    const auto magic = file.bigEndian(4);
    const auto headerLength = file.bigEndian(4);
    if (!magic || *magic != 0x4D546864u || !headerLength || *headerLength < 6) {
        return failure("not a Standard MIDI File (no MThd header)");
    }
    const auto header = file.take(*headerLength);
    if (!header) return failure("the header is cut short");
    ByteReader fields(*header);
    const uint32_t format = *fields.bigEndian(2), tracks = *fields.bigEndian(2), division = *fields.bigEndian(2);
    if (format > 1) return failure("a file of format " + std::to_string(format) + " (only 0 and 1 are played)");
    if (division == 0) return failure("no ticks in a quarter note");

    std::vector<TickedNote> notes;
    std::vector<TempoChange> tempi;
    uint32_t found = 0;
    while (!file.atEnd() && found < tracks) {
        const auto kind = file.bigEndian(4);
        const auto length = file.bigEndian(4);
        if (!kind || !length) return failure("cut short after " + std::to_string(found) + " tracks");
        const auto chunk = file.take(*length);
        if (!chunk) return failure("track " + std::to_string(found + 1) + " is cut short");
        if (*kind != 0x4D54726Bu) continue;  // a chunk of another kind: read past
        GLASSFALLS_TRY(readTrack(*chunk, static_cast<int>(found), notes, tempi));
        ++found;
    }
    if (found < tracks)
        return failure("holds " + std::to_string(found) + " of its " + std::to_string(tracks) + " tracks");

    // In the order they sound; within one tick, tracks in the file's order.
    std::stable_sort(notes.begin(), notes.end(),
                     [](const TickedNote& a, const TickedNote& b) { return a.tick < b.tick; });
    std::stable_sort(tempi.begin(), tempi.end(),
                     [](const TempoChange& a, const TempoChange& b) { return a.tick < b.tick; });
    // Ticks to milliseconds in whole numbers: microseconds times ticks a quarter (or the
    // SMPTE equivalent), summed exactly; a time past what 64 bits hold is as late as can be.
    auto msAt = [&](uint64_t tick) -> uint32_t {
        uint64_t scaled = 0, perMs = 0;
        bool over = false;
        auto add = [&](uint64_t ticks, uint64_t per) {
            uint64_t product = 0;
            over = over || __builtin_mul_overflow(ticks, per, &product) ||
                   __builtin_add_overflow(scaled, product, &scaled);
        };
        if (division & 0x8000u) {
            // SMPTE: frames a second (29 is 29.97) and ticks a frame.
            const int fps = -static_cast<int8_t>(division >> 8);
            const uint64_t perFrame = division & 0xFFu;
            if (fps <= 0 || perFrame == 0) return 0;
            add(tick, 1001 * 1000);
            perMs = (fps == 29 ? 30000 : static_cast<uint64_t>(fps) * 1001) * perFrame;
        } else {
            uint64_t from = 0;
            uint32_t tempo = kDefaultTempo;
            for (const TempoChange& change : tempi) {
                if (change.tick >= tick) break;
                add(change.tick - from, tempo);
                from = change.tick;
                tempo = change.microsecondsPerQuarter;
            }
            add(tick - from, tempo);
            perMs = uint64_t{division} * 1000;
        }
        const uint64_t ms = over ? std::numeric_limits<uint64_t>::max() : scaled / perMs;
        return static_cast<uint32_t>(std::min<uint64_t>(ms, std::numeric_limits<uint32_t>::max()));
    };
    std::vector<MidiNoteEvent> timed;
    timed.reserve(notes.size());
    for (const TickedNote& n : notes) {
        MidiNoteEvent note = n.note;
        note.ms = msAt(n.tick);
        timed.push_back(note);
    }
    return timed;
}

Expected<std::vector<MidiNoteEvent>> loadMidiFile(const std::string& path) {
    std::vector<uint8_t> bytes;
    if (!readWholeFile(path, bytes)) return failure("cannot read the MIDI file " + path);
    auto notes = readMidiFile(bytes);
    if (!notes) return failure("the MIDI file " + path + ": " + notes.error());
    return notes;
}

}  // namespace glassfalls::platform
