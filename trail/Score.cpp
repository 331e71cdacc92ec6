// SPDX-License-Identifier: GPL-3.0-or-later
#include "trail/Score.h"

#include <algorithm>
#include <new>

#include "platform/os/TextLines.h"
#include "platform/os/WholeFile.h"

namespace glassfalls {

platform::Expected<Score> readScore(std::span<const uint8_t> countingPass, std::span<const uint8_t> readingPass) {
    const auto lineFeeds = std::count(countingPass.begin(), countingPass.end(), uint8_t{'\n'});
    const auto counted = static_cast<size_t>(lineFeeds / 4);
    Score score;
    try {
        score.entries.reserve(counted);
    } catch (const std::bad_alloc&) {
        return platform::failure("no memory for a melody of " + std::to_string(counted) + " notes");
    }
    platform::LineReader reader(
        std::string_view(reinterpret_cast<const char*>(readingPass.data()), readingPass.size()));
    std::string label, band, level, duration;
    while (score.entries.size() < counted) {
        // Only complete groups are stored: a file that shrank since it was counted stops here.
        if (!reader.next(label) || !reader.next(band) || !reader.next(level) || !reader.next(duration)) {
            break;
        }
        ScoreEntry entry;
        entry.note = static_cast<uint8_t>(platform::parseIntLikeAtoi(band) & 0xFF);
        entry.level = static_cast<uint8_t>(platform::parseIntLikeAtoi(level) & 0xFF);
        entry.duration = platform::parseIntLikeAtoi(duration);
        score.entries.push_back(entry);
    }
    score.present = true;
    score.count = static_cast<int32_t>(score.entries.size());
    return score;
}

platform::Expected<Score> loadScore(const std::string& path) {
    // Read twice, as two passes over the file would see it.
    std::vector<uint8_t> counting, reading;
    if (!platform::readWholeFile(path, counting) || !platform::readWholeFile(path, reading))
        return platform::failure("cannot read the melody file " + path);
    auto score = readScore(counting, reading);
    if (!score) return platform::failure("the melody file " + path + ": " + score.error());
    return score;
}

}  // namespace glassfalls
