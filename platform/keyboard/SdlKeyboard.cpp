#include <SDL.h>

#include "platform/keyboard/Keyboard.h"

namespace glassfalls::platform {

bool SdlKeyboard::isDown(Key key) const {
    static constexpr SDL_Scancode kScancodes[] = {SDL_SCANCODE_ESCAPE, SDL_SCANCODE_RETURN,
                                                  SDL_SCANCODE_LEFT, SDL_SCANCODE_RIGHT};
    const Uint8* state = SDL_GetKeyboardState(nullptr);
    if (key == Key::Enter && state[SDL_SCANCODE_KP_ENTER]) return true;
    return state[kScancodes[static_cast<int>(key)]] != 0;
}

}  // namespace glassfalls::platform
