// Every key reaches Form_KeyDown: from the keyboard and media keys, and from the remote
// control. It zeroes the idle count, serves the global hotkeys, and passes every other key to
// the key handler of the view on the screen (CurrentView).
#pragma once

#include <cstdint>

namespace app {

struct Jubo;

void Form_KeyDown(Jubo& jubo, int16_t& KeyCode, int16_t Shift);

// A click on the main screen's background: shows the pointer, or hides it again.
void Form_Click(Jubo& jubo);

}  // namespace app
