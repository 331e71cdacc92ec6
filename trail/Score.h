// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/os/Expected.h"

namespace glassfalls {

// One note of a stored melody.
struct ScoreEntry {
    static constexpr uint8_t kRest = 255;

    uint8_t note = 0;      // a band number that the note table maps to a pitch; kRest: none
    uint8_t level = 0;     // loudness 0 … 255
    int32_t duration = 0;  // in performer steps; 1 or less lasts one step
};

// A melody read from a text file of four-line groups: a label, the band, the level, the
// duration, each line ending with a line feed.
struct Score {
    bool present = false;  // entries were read (possibly none)
    int32_t count = 0;     // entries held
    std::vector<ScoreEntry> entries;
};

// Reads `path` as the piece's melody file; the failure names the file.
platform::Expected<Score> loadScore(const std::string& path);

// The reader on the file's bytes as the two passes saw them: the first counts the groups,
// the second reads them. Nothing past what the second pass holds is stored; `count` says
// how many entries were. Fails when there is no memory for the entries counted.
platform::Expected<Score> readScore(std::span<const uint8_t> countingPass, std::span<const uint8_t> readingPass);

}  // namespace glassfalls
