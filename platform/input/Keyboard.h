// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/os/Expected.h"

union SDL_Event;

namespace glassfalls::platform {

enum class Key { Escape, Enter, Left, Right };

// The keys as they stand for one scene advance, asked for on the main thread during it.
// Every reader of the same advance gets the same answer.
class Keyboard {
public:
    virtual ~Keyboard() = default;
    virtual bool isDown(Key key) const = 0;
    // Called just before scene advance number `advance` (counted from 1): takes the keys
    // that advance sees.
    virtual void beforeAdvance(uint64_t advance) { (void)advance; }
};

// No keys at all: headless runs without a script.
class NullKeyboard final : public Keyboard {
public:
    bool isDown(Key) const override { return false; }
};

// The real keyboard, as the SDL event pump last saw it before the advance. Like the key
// query it stands in for, a key also counts as down for one advance after it was pressed and
// released between two advances, so a tap shorter than a frame is not lost; all eight
// performers see it.
class SdlKeyboard final : public Keyboard {
public:
    SdlKeyboard();
    ~SdlKeyboard() override;
    SdlKeyboard(const SdlKeyboard&) = delete;
    SdlKeyboard& operator=(const SdlKeyboard&) = delete;

    bool isDown(Key key) const override { return down_[static_cast<int>(key)]; }
    void beforeAdvance(uint64_t advance) override;

private:
    static int onEvent(void* keyboard, SDL_Event* event);
    bool pressedSinceAdvance_[4] = {};  // set by key presses, cleared by beforeAdvance
    bool down_[4] = {};                 // what this advance sees
};

// Key presses read from a script of lines "ADVANCE KEY down|up", so that demos and tests can
// play a performance without a person at the keyboard.
class ScriptedKeyboard final : public Keyboard {
public:
    struct Change {
        uint64_t advance;
        Key key;
        bool down;
    };

    // Parses a script. Blank lines and lines starting with '#' are skipped. A malformed line
    // fails the whole script, named in the failure.
    static Expected<ScriptedKeyboard> parse(const std::string& text);
    static Expected<ScriptedKeyboard> load(const std::string& path);

    bool isDown(Key key) const override { return down_[static_cast<int>(key)]; }
    void beforeAdvance(uint64_t advance) override;

private:
    std::vector<Change> changes_;  // in script order
    size_t next_ = 0;
    bool down_[4] = {};
};

}  // namespace glassfalls::platform
