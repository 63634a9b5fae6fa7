// The Main Menu (view 4): the root of every path, listing the program's functions.
#pragma once

#include <cstdint>

namespace app {
struct Jubo;
}

namespace screen {

// Draws the Main Menu; CurrentRow and CurrentView are the caller's to set.
void RenderMainChooser(app::Jubo& jubo);
// Up and Down move the highlight (no wrapping); Enter opens the highlighted function.
void MainChooserKeyDown(app::Jubo& jubo, int16_t& KeyCode);

// Back to the Main Menu at `row` from any depth, as the M key and the views' Left do.
void ShowMainMenu(app::Jubo& jubo, int16_t row);

}  // namespace screen
