// SDL keyboard input as the runtime's key codes. Characters come from text input (UTF-8,
// converted to CP850); key-down gives the other keys. The whole mapping is this one table.
#pragma once
#include <SDL2/SDL_keyboard.h>

#include <string>

namespace xb::sdl {

// The key code of a key-down with the given modifiers (SDL_Keymod bits); 0 when the key
// gives nothing by itself (a character that arrives as text input, a lone modifier).
int keyCodeOf(SDL_Keycode sym, Uint16 mod);

// Whether a key-down that gave a code also produces a text-input event that must be
// dropped (Alt+letter: the letter is not typed).
bool swallowsText(SDL_Keycode sym, Uint16 mod);

// The CP850 characters of a text-input event. Characters CP850 cannot hold (and control
// characters) are left out and counted in `refused`.
std::string textToCp850(const char* utf8, int& refused);

}  // namespace xb::sdl
