// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/os/TextLines.h"

namespace glassfalls {

// Where the picture server is. Only read during start-up.
struct Settings {
    std::string host = "test";  // at most kMaxSettingsLine characters
    int32_t port = 1000;
};

// Longer lines keep their first kMaxSettingsLine characters; the rest of the line is skipped.
inline constexpr size_t kMaxSettingsLine = platform::LineReader::kMaxLine;

// Parses the settings text: "[IP]" and "[Port]" lines, each followed by its value line; later
// sections override earlier ones; nothing is trimmed. A final line without a line feed is
// never taken as a section line, but is taken as a value.
Settings parseSettings(std::string_view text);

// Reads the settings file; nothing when it cannot be opened (the piece then runs without
// the picture server).
std::optional<Settings> readSettingsFile(const std::string& path);

}  // namespace glassfalls
