// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Settings.h"

#include <fstream>
#include <sstream>

namespace glassfalls {

namespace {

// A value line may be the last line of the file without a line feed; a section line may not.
std::optional<std::string> valueLine(platform::LineReader& reader) {
    std::string line;
    if (reader.next(line) || !line.empty()) return line;
    return std::nullopt;
}

}  // namespace

Settings parseSettings(std::string_view text) {
    Settings settings;
    platform::LineReader reader(text);
    std::string line;
    while (reader.next(line)) {
        if (line == "[IP]") {
            if (auto value = valueLine(reader)) settings.host = *value;
        } else if (line == "[Port]") {
            if (auto value = valueLine(reader)) settings.port = platform::parseIntLikeAtoi(*value);
        }
    }
    return settings;
}

std::optional<Settings> readSettingsFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return parseSettings(text.str());
}

}  // namespace glassfalls
