// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace glassfalls::platform {

// Reads text the way the piece's text files were always read, a line into a fixed buffer
// in text mode: up to a line feed, a carriage return right before it dropped, longer lines
// cut to their first kMaxLine characters.
class LineReader {
public:
    static constexpr size_t kMaxLine = 255;

    explicit LineReader(std::string_view text) : text_(text) {}

    // True when `line` ended with a line feed. False at the end of the text; `line` then holds
    // what was left after the last line feed (possibly nothing), as it stands.
    bool next(std::string& line);

private:
    std::string_view text_;
    size_t pos_ = 0;
};

// The C library's atoi rules: leading white space, optional sign, digits up to the first
// other character, 0 without digits. Out-of-range values saturate instead of being undefined.
int32_t parseIntLikeAtoi(std::string_view text);

}  // namespace glassfalls::platform
