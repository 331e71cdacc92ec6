// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/input/Keyboard.h"

namespace glassfalls::platform {

// The keyboard's keys together with keys pressed from elsewhere, such as a show-control
// system: a key counts as down when either has it down. Like a key on the keyboard, a remote
// tap counts as down for exactly the next advance, and a remote hold lasts until it is let go.
class RemoteKeys final : public Keyboard {
public:
    explicit RemoteKeys(Keyboard& local) : local_(local) {}

    void tap(Key key) { tapped_[static_cast<int>(key)] = true; }
    void hold(Key key, bool down) { held_[static_cast<int>(key)] = down; }

    bool isDown(Key key) const override { return down_[static_cast<int>(key)] || local_.isDown(key); }
    void beforeAdvance(uint64_t advance) override;

private:
    Keyboard& local_;
    bool tapped_[4] = {};  // since the last advance
    bool held_[4] = {};
    bool down_[4] = {};  // what this advance sees from elsewhere
};

}  // namespace glassfalls::platform
