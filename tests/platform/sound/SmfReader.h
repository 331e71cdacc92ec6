// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A small reader of format-0 Standard MIDI Files, strict enough to catch a broken file.
namespace glassfalls::test_support {

struct SmfEvent {
    uint32_t tick;
    uint8_t status, data1, data2;
    friend bool operator==(const SmfEvent&, const SmfEvent&) = default;
};

struct SmfTrack {
    bool valid = false;  // header and track well formed, ending exactly with its end marker
    std::string problem;
    uint16_t division = 0;
    uint32_t tempo = 0;            // microseconds per quarter note
    std::vector<SmfEvent> events;  // channel messages only
};

inline SmfTrack readSmf(const std::vector<uint8_t>& f) {
    SmfTrack t;
    auto fail = [&t](const char* why) {
        t.problem = why;
        return t;
    };
    auto be32 = [&f](size_t at) {
        return static_cast<uint32_t>(f[at]) << 24 | static_cast<uint32_t>(f[at + 1]) << 16 |
               static_cast<uint32_t>(f[at + 2]) << 8 | f[at + 3];
    };
    if (f.size() < 22 || std::string(f.begin(), f.begin() + 4) != "MThd" || be32(4) != 6) return fail("header");
    if (f[8] != 0 || f[9] != 0 || f[10] != 0 || f[11] != 1) return fail("not format 0 with one track");
    t.division = static_cast<uint16_t>(f[12] << 8 | f[13]);
    if (std::string(f.begin() + 14, f.begin() + 18) != "MTrk") return fail("track chunk");
    const size_t end = 22 + size_t{be32(18)};
    if (end > f.size()) return fail("track longer than the file");
    size_t at = 22;
    uint32_t tick = 0;
    while (at < end) {
        uint32_t delta = 0;
        for (int i = 0;; ++i) {
            if (at >= end || i == 4) return fail("delta time");
            const uint8_t b = f[at++];
            delta = delta << 7 | (b & 0x7F);
            if (!(b & 0x80)) break;
        }
        tick += delta;
        if (at >= end) return fail("event missing");
        const uint8_t status = f[at++];
        if (status == 0xFF) {
            if (at + 2 > end) return fail("meta event");
            const uint8_t type = f[at++];
            const uint8_t length = f[at++];
            if (at + length > end) return fail("meta event data");
            if (type == 0x51 && length == 3) t.tempo = static_cast<uint32_t>(f[at] << 16 | f[at + 1] << 8 | f[at + 2]);
            at += length;
            if (type == 0x2F) {
                if (at != end) return fail("end marker before the end of the track");
                t.valid = true;
                return t;
            }
            continue;
        }
        if (status < 0x80 || status >= 0xF0) return fail("status byte");
        const int dataBytes = (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 1 : 2;
        if (at + static_cast<size_t>(dataBytes) > end) return fail("channel message data");
        const uint8_t d1 = f[at++];
        const uint8_t d2 = dataBytes == 2 ? f[at++] : 0;
        t.events.push_back({tick, status, d1, d2});
    }
    return fail("no end marker");
}

}  // namespace glassfalls::test_support
