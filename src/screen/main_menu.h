// The Main Menu (view 4): the root of every path, listing the program's functions.
#pragma once

#include <cstdint>

namespace screen {

struct ScreenContext;

// Draws the Main Menu; CurrentRow and CurrentView are the caller's to set.
void RenderMainChooser(ScreenContext& jubo);
// Up and Down move the highlight (no wrapping); Enter opens the highlighted function.
void MainChooserKeyDown(ScreenContext& jubo, int16_t& KeyCode);

// Back to the Main Menu at `row` from any depth, as the M key and the views' Left do.
void ShowMainMenu(ScreenContext& jubo, int16_t row);

}  // namespace screen
