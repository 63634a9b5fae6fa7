#include "platform/key_map.h"

#include <SDL.h>

namespace platform {

int16_t ProgramKeyCode(int32_t sdl_keycode) {
  // SDL reports letter keys as their lower-case character, with or without shift.
  if (sdl_keycode >= SDLK_a && sdl_keycode <= SDLK_z) {
    return static_cast<int16_t>('A' + (sdl_keycode - SDLK_a));
  }
  switch (sdl_keycode) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
      return 13;
    case SDLK_ESCAPE:
      return 27;
    case SDLK_PAGEUP:
      return 33;
    case SDLK_PAGEDOWN:
      return 34;
    case SDLK_LEFT:
    case SDLK_AC_BACK:
      return 37;
    case SDLK_UP:
      return 38;
    case SDLK_RIGHT:
      return 39;
    case SDLK_DOWN:
      return 40;
    case SDLK_AUDIOPLAY:
      return 'P';
    case SDLK_AUDIOSTOP:
      return 'S';
    case SDLK_AUDIONEXT:
      return 'N';
    case SDLK_AUDIOPREV:
      return 'B';
    case SDLK_AUDIOFASTFORWARD:
      return 'F';
    case SDLK_AUDIOREWIND:
      return 'R';
    case SDLK_AC_HOME:
      return 'M';
    // The codes remote controls send for the volume keys.
    case SDLK_MUTE:
      return 173;
    case SDLK_VOLUMEDOWN:
      return 174;
    case SDLK_VOLUMEUP:
      return 175;
    default:
      return 0;
  }
}

int32_t SdlKeycodeNamed(const char* name) { return SDL_GetKeyFromName(name); }

}  // namespace platform
