// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>

#include "platform/os/ByteStream.h"

namespace glassfalls {

// The shape of the last three distinct notes a performer played, and how long they were
// held. Classes: 1 falling (or three equal high notes), 2 three equal low notes, 3 out and
// back low, 4 out and back high, 6 rising, 7 anything else.
class ContourTracker {
public:
    static constexpr uint8_t kRest = 255;

    void open();
    void reset();
    // One step's note, 0 … 254, or kRest for a step without one.
    void pushNote(uint8_t note);
    int32_t contour() const { return contour_; }
    // 16, 8, 4, 2 or 1: the shorter the notes were held, the larger.
    int32_t rhythmDivisor() const;

    int32_t count() const { return count_; }
    int32_t repeats() const { return repeats_; }

    // Everything it remembers, for another machine to go on from.
    void saveState(platform::ByteWriter& out) const;
    void loadState(platform::ByteReader& in);

private:
    void classify();

    int32_t count_ = 0;
    int32_t contour_ = 7;
    int32_t repeats_ = 0;
    std::array<uint8_t, 3> notes_{};  // oldest first
    std::array<int32_t, 3> holds_{};
    uint8_t lastNote_ = kRest;
    bool afterRest_ = false;
    bool filling_ = true;
};

}  // namespace glassfalls
