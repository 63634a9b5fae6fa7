// Which SDL keys the program hears, and as what. The program speaks in its own key codes:
// 13 Enter, 27 Escape, 33/34 Page Up/Down, 37-40 the arrows, 65-90 the letters.
#pragma once

#include <cstdint>

namespace platform {

// The program's key code for an SDL key code (SDL_Keycode); 0 for a key the program ignores.
// Letters map to their capital whatever the shift state; the remote's media keys map to the
// letters of the player hotkeys.
int16_t ProgramKeyCode(int32_t sdl_keycode);

// SDL's key code for a key named as SDL names it ("Return", "AudioPlay", "A"); 0 when SDL
// knows no such key. For tables of keys written by name.
int32_t SdlKeycodeNamed(const char* name);

}  // namespace platform
