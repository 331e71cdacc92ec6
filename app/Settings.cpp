#include "app/Settings.h"

#include <climits>
#include <fstream>
#include <sstream>

namespace glassfalls {

namespace {

// Reads lines the way the settings file was always read: up to a line feed, with a carriage
// return right before it dropped (text mode), truncated to kMaxSettingsLine characters.
class LineReader {
public:
    explicit LineReader(std::string_view text) : text_(text) {}

    // A line that ended with a line feed, or nothing at the end of the text.
    std::optional<std::string> terminatedLine() {
        std::string line;
        return next(line) ? std::optional(line) : std::nullopt;
    }

    // Like terminatedLine, but the end of the text also ends a (non-empty) line.
    std::optional<std::string> valueLine() {
        std::string line;
        if (next(line) || !line.empty()) return line;
        return std::nullopt;
    }

private:
    bool next(std::string& line) {
        const size_t end = text_.find('\n', pos_);
        const bool terminated = end != std::string_view::npos;
        std::string_view raw = text_.substr(pos_, terminated ? end - pos_ : std::string_view::npos);
        pos_ = terminated ? end + 1 : text_.size();
        if (terminated && !raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
        line.assign(raw.substr(0, kMaxSettingsLine));
        return terminated;
    }

    std::string_view text_;
    size_t pos_ = 0;
};

}  // namespace

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

Settings parseSettings(std::string_view text) {
    Settings settings;
    LineReader reader(text);
    while (auto line = reader.terminatedLine()) {
        if (*line == "[IP]") {
            if (auto value = reader.valueLine()) settings.host = *value;
        } else if (*line == "[Port]") {
            if (auto value = reader.valueLine()) settings.port = parseIntLikeAtoi(*value);
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
