// SPDX-License-Identifier: GPL-3.0-or-later
#include <SDL.h>

#include <optional>

#include "platform/input/Keyboard.h"

namespace glassfalls::platform {

namespace {

// The scancodes of the piece's keys; Enter has two.
constexpr struct {
    SDL_Scancode code;
    Key key;
} kKeyMap[] = {
    {SDL_SCANCODE_ESCAPE, Key::Escape}, {SDL_SCANCODE_RETURN, Key::Enter}, {SDL_SCANCODE_KP_ENTER, Key::Enter},
    {SDL_SCANCODE_LEFT, Key::Left},     {SDL_SCANCODE_RIGHT, Key::Right},
};

std::optional<Key> keyOf(SDL_Scancode code) {
    for (const auto& entry : kKeyMap) {
        if (entry.code == code) return entry.key;
    }
    return std::nullopt;
}

}  // namespace

// The watch sees every press as the event pump queues it, even when the key is up again
// before the next frame looks.
SdlKeyboard::SdlKeyboard() { SDL_AddEventWatch(&SdlKeyboard::onEvent, this); }

SdlKeyboard::~SdlKeyboard() { SDL_DelEventWatch(&SdlKeyboard::onEvent, this); }

int SdlKeyboard::onEvent(void* keyboard, SDL_Event* event) {
    if (event->type != SDL_KEYDOWN || event->key.repeat) return 0;
    if (const auto key = keyOf(event->key.keysym.scancode)) {
        static_cast<SdlKeyboard*>(keyboard)->pressedSinceAdvance_[static_cast<int>(*key)] = true;
    }
    return 0;
}

void SdlKeyboard::beforeAdvance(uint64_t) {
    for (int key = 0; key < 4; ++key) {
        down_[key] = pressedSinceAdvance_[key];
        pressedSinceAdvance_[key] = false;
    }
    const Uint8* state = SDL_GetKeyboardState(nullptr);
    for (const auto& entry : kKeyMap) {
        if (state[entry.code]) down_[static_cast<int>(entry.key)] = true;
    }
}

}  // namespace glassfalls::platform
