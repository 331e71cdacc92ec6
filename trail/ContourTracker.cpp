// SPDX-License-Identifier: GPL-3.0-or-later
#include "trail/ContourTracker.h"

#include <cstddef>
#include <string>

namespace glassfalls {

namespace {
constexpr uint8_t kHighestLowNote = 65;  // the F above middle C
}

void ContourTracker::open() { repeats_ = 0; }

void ContourTracker::reset() {
    count_ = 0;
    contour_ = 7;
    repeats_ = 0;
    notes_ = {kRest, kRest, kRest};
    holds_ = {255, 255, 255};
    lastNote_ = kRest;
    afterRest_ = false;
    filling_ = true;
}

void ContourTracker::pushNote(uint8_t note) {
    if (note == kRest) {
        afterRest_ = true;
        return;
    }
    // A note repeated after a rest counts as a new one.
    if (note == lastNote_ && !afterRest_) {
        ++repeats_;
        return;
    }
    afterRest_ = false;
    holds_[static_cast<std::size_t>(count_)] = repeats_;
    notes_[static_cast<std::size_t>(count_)] = note;
    lastNote_ = note;
    ++count_;
    repeats_ = 0;
    if (count_ == 3) {
        classify();
        filling_ = false;
    }
    if (!filling_) {
        notes_ = {notes_[1], notes_[2], notes_[2]};
        holds_ = {holds_[1], holds_[2], holds_[2]};
    }
    if (count_ >= 3) --count_;
}

void ContourTracker::classify() {
    const uint8_t a = notes_[0], b = notes_[1], c = notes_[2];
    contour_ = 7;
    if (a == b && b == c) contour_ = a <= kHighestLowNote ? 2 : 1;
    if (a != b && a == c) contour_ = a <= kHighestLowNote ? 3 : 4;
    if (a > b && b > c) contour_ = 1;
    if (a < b && b < c) contour_ = 6;
}

int32_t ContourTracker::rhythmDivisor() const {
    const int32_t m = (holds_[0] + holds_[1] + holds_[2]) / 3;
    if (m < 2) return 16;
    if (m < 4) return 8;
    if (m < 8) return 4;
    if (m < 16) return 2;
    return 1;
}

void ContourTracker::saveState(platform::ByteWriter& out) const {
    out.i32(count_);
    out.i32(contour_);
    out.i32(repeats_);
    for (uint8_t note : notes_) out.u8(note);
    for (int32_t hold : holds_) out.i32(hold);
    out.u8(lastNote_);
    out.boolean(afterRest_);
    out.boolean(filling_);
}

void ContourTracker::loadState(platform::ByteReader& in) {
    in.i32(count_);
    in.i32(contour_);
    in.i32(repeats_);
    for (uint8_t& note : notes_) in.u8(note);
    for (int32_t& hold : holds_) in.i32(hold);
    in.u8(lastNote_);
    in.boolean(afterRest_);
    in.boolean(filling_);
    if (count_ < 0 || count_ > 2 || contour_ < 1 || contour_ > 7) in.fail("has a contour tracker out of range");
}

}  // namespace glassfalls
