// The Main Menu: the root of every path, listing the program's functions. Up and Down move the
// highlight (no wrapping); Enter opens the highlighted function. Its row of the view table is
// kMainMenuView; navigation's ShowMainMenu brings it back from anywhere.
#pragma once

namespace screen {

struct ScreenContext;

// Draws the menu's rows and hints; CurrentRow and CurrentView are navigation's.
void RenderMainChooser(ScreenContext& jubo);

}  // namespace screen
