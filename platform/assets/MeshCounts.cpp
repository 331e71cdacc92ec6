// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/assets/MeshCounts.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

namespace glassfalls::platform::assets {

namespace {

// A text file's integers (numbers without a point or exponent, outside strings, GUIDs and
// comments) and a binary file's integer lists are checked against its size.
bool textCountsFit(std::span<const uint8_t> bytes) {
    const size_t n = bytes.size();
    for (size_t i = 16; i < n;) {
        const char c = static_cast<char>(bytes[i]);
        if (c == '"' || c == '<') {
            const char close = c == '"' ? '"' : '>';
            for (++i; i < n && bytes[i] != close; ++i) {
            }
            ++i;
        } else if (c == '#' || (c == '/' && i + 1 < n && bytes[i + 1] == '/')) {
            for (; i < n && bytes[i] != '\n'; ++i) {
            }
        } else if (std::isdigit(static_cast<unsigned char>(c))) {
            uint64_t value = 0;
            size_t j = i;
            for (; j < n && std::isdigit(bytes[j]); ++j)
                value = std::min<uint64_t>(value * 10 + (bytes[j] - '0'), n + 1);
            const bool isFloat = j < n && (bytes[j] == '.' || bytes[j] == 'e' || bytes[j] == 'E');
            if (isFloat) {
                for (; j < n && (std::isalnum(bytes[j]) || bytes[j] == '.' || bytes[j] == '-' || bytes[j] == '+');
                     ++j) {
                }
            } else if (value > n) {
                return false;
            }
            i = j;
        } else if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            for (; i < n && (std::isalnum(bytes[i]) || bytes[i] == '_'); ++i) {
            }
        } else {
            ++i;
        }
    }
    return true;
}

bool binaryCountsFit(std::span<const uint8_t> bytes, size_t floatSize) {
    const size_t n = bytes.size();
    auto word = [&](size_t at) { return static_cast<uint32_t>(bytes[at] | bytes[at + 1] << 8); };
    auto dword = [&](size_t at) { return word(at) | word(at + 2) << 16; };
    for (size_t i = 16; i + 2 <= n;) {
        const uint32_t token = word(i);
        i += 2;
        size_t item = 0;  // bytes per listed item, 0 for tokens without a count
        size_t trailer = 0;
        if (token == 1 || token == 2) {
            item = 1;
            trailer = token == 2 ? 4 : 0;
        } else if (token == 3) {
            i += 4;
            continue;
        } else if (token == 5) {
            i += 16;
            continue;
        } else if (token == 6) {
            item = 4;
        } else if (token == 7) {
            item = floatSize;
        } else {
            continue;
        }
        if (i + 4 > n) return false;
        const uint64_t count = dword(i);
        i += 4;
        if (count * item + trailer > n - i) return false;
        if (token == 6) {
            for (uint64_t k = 0; k < count; ++k, i += 4) {
                if (dword(i) > n) return false;
            }
        } else {
            i += count * item + trailer;
        }
    }
    return true;
}

}  // namespace

bool declaredCountsFit(std::span<const uint8_t> bytes) {
    if (bytes.size() < 16 || std::memcmp(bytes.data(), "xof ", 4) != 0) return true;
    const std::string format(bytes.begin() + 8, bytes.begin() + 12);
    if (format == "txt ") return textCountsFit(bytes);
    if (format == "bin ") return binaryCountsFit(bytes, std::memcmp(&bytes[12], "0064", 4) == 0 ? 8 : 4);
    return true;
}

}  // namespace glassfalls::platform::assets
