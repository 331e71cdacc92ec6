#include "trail/Score.h"

#include <algorithm>
#include <new>

#include "app/Settings.h"
#include "platform/file/WholeFile.h"

namespace glassfalls {

namespace {

constexpr size_t kLineCapacity = 255;  // characters kept of a longer line

// Reads the next line of `bytes` from `at`: false when the bytes end before its line feed.
// A carriage return just before the line feed is not part of the line; characters past
// 255 are dropped.
bool nextLine(std::span<const uint8_t> bytes, size_t& at, std::string& line) {
    line.clear();
    while (at < bytes.size()) {
        const uint8_t c = bytes[at++];
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.size() > kLineCapacity) line.resize(kLineCapacity);
            return true;
        }
        if (line.size() <= kLineCapacity) line.push_back(static_cast<char>(c));
    }
    return false;
}

}  // namespace

bool readScore(std::span<const uint8_t> countingPass, std::span<const uint8_t> readingPass,
               Score& score) {
    const auto lineFeeds = std::count(countingPass.begin(), countingPass.end(), uint8_t{'\n'});
    const auto counted = static_cast<size_t>(lineFeeds / 4);
    score = {};
    try {
        score.entries.reserve(counted);
    } catch (const std::bad_alloc&) {
        return false;
    }
    size_t at = 0;
    std::string label, band, level, duration;
    while (score.entries.size() < counted) {
        // Only complete groups are stored: a file that shrank since it was counted stops here.
        if (!nextLine(readingPass, at, label) || !nextLine(readingPass, at, band) ||
            !nextLine(readingPass, at, level) || !nextLine(readingPass, at, duration)) {
            break;
        }
        ScoreEntry entry;
        entry.note = static_cast<uint8_t>(parseIntLikeAtoi(band) & 0xFF);
        entry.level = static_cast<uint8_t>(parseIntLikeAtoi(level) & 0xFF);
        entry.duration = parseIntLikeAtoi(duration);
        score.entries.push_back(entry);
    }
    score.present = true;
    score.count = static_cast<int32_t>(score.entries.size());
    return true;
}

bool loadScore(const std::string& path, Score& score) {
    // Read twice, as two passes over the file would see it.
    std::vector<uint8_t> counting, reading;
    if (!platform::readWholeFile(path, counting)) return false;
    if (!platform::readWholeFile(path, reading)) return false;
    return readScore(counting, reading, score);
}

}  // namespace glassfalls
