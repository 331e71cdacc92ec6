#include <SDL.h>

#include <optional>

#include "platform/keyboard/Keyboard.h"

namespace glassfalls::platform {

namespace {

std::optional<Key> keyOf(SDL_Scancode code) {
    switch (code) {
        case SDL_SCANCODE_ESCAPE: return Key::Escape;
        case SDL_SCANCODE_RETURN:
        case SDL_SCANCODE_KP_ENTER: return Key::Enter;
        case SDL_SCANCODE_LEFT: return Key::Left;
        case SDL_SCANCODE_RIGHT: return Key::Right;
        default: return std::nullopt;
    }
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
    static constexpr SDL_Scancode kScancodes[] = {SDL_SCANCODE_ESCAPE, SDL_SCANCODE_RETURN,
                                                  SDL_SCANCODE_LEFT, SDL_SCANCODE_RIGHT};
    const Uint8* state = SDL_GetKeyboardState(nullptr);
    for (int key = 0; key < 4; ++key) {
        down_[key] = pressedSinceAdvance_[key] || state[kScancodes[key]] != 0 ||
                     (key == static_cast<int>(Key::Enter) && state[SDL_SCANCODE_KP_ENTER] != 0);
        pressedSinceAdvance_[key] = false;
    }
}

}  // namespace glassfalls::platform
