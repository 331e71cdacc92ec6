// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <fstream>
#include <sstream>

#include "platform/input/Keyboard.h"

namespace glassfalls::platform {

namespace {

std::optional<Key> keyNamed(const std::string& name) {
    if (name == "Escape") return Key::Escape;
    if (name == "Enter") return Key::Enter;
    if (name == "Left") return Key::Left;
    if (name == "Right") return Key::Right;
    return std::nullopt;
}

}  // namespace

Expected<ScriptedKeyboard> ScriptedKeyboard::parse(const std::string& text) {
    ScriptedKeyboard keyboard;
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        std::istringstream fields(line);
        std::string first;
        if (!(fields >> first) || first[0] == '#') continue;

        std::string keyName, state, rest;
        fields >> keyName >> state;
        const bool advanceIsNumber = !first.empty() && std::all_of(first.begin(), first.end(), ::isdigit);
        const auto key = keyNamed(keyName);
        if (!advanceIsNumber || first.size() > 18 || !key || (state != "down" && state != "up") || (fields >> rest)) {
            return failure("line " + std::to_string(number) +
                           ": expected \"ADVANCE KEY down|up\" with KEY one of Escape Enter Left Right, got \"" + line +
                           "\"");
        }
        keyboard.changes_.push_back({std::stoull(first), *key, state == "down"});
    }
    std::stable_sort(keyboard.changes_.begin(), keyboard.changes_.end(),
                     [](const Change& a, const Change& b) { return a.advance < b.advance; });
    return keyboard;
}

Expected<ScriptedKeyboard> ScriptedKeyboard::load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return failure("cannot open key script " + path);
    std::ostringstream text;
    text << in.rdbuf();
    auto keyboard = parse(text.str());
    if (!keyboard) return failure(path + ": " + keyboard.error());
    return keyboard;
}

void ScriptedKeyboard::beforeAdvance(uint64_t advance) {
    while (next_ < changes_.size() && changes_[next_].advance <= advance) {
        down_[static_cast<int>(changes_[next_].key)] = changes_[next_].down;
        ++next_;
    }
}

}  // namespace glassfalls::platform
