// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/os/TextLines.h"

#include <climits>

namespace glassfalls::platform {

bool LineReader::next(std::string& line) {
    const size_t end = text_.find('\n', pos_);
    const bool terminated = end != std::string_view::npos;
    std::string_view raw = text_.substr(pos_, terminated ? end - pos_ : std::string_view::npos);
    pos_ = terminated ? end + 1 : text_.size();
    if (terminated && !raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    line.assign(raw.substr(0, kMaxLine));
    return terminated;
}

int32_t parseIntLikeAtoi(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<int64_t>(INT_MAX) + 1) break;
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int32_t>(value);
}

}  // namespace glassfalls::platform
