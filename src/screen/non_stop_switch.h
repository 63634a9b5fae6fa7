// Non-Stop Music switched by the user: from the Main Menu's row, or with G from anywhere.
#pragma once

namespace screen {

struct ScreenContext;

// Switches Non-Stop Music on or off through the engine. When no song passes the exclusions it
// stays off, and the user is told so ("All Songs are" / "Excluded!"). Returns true when it is
// now on.
bool SwitchNonStop(ScreenContext& jubo);

}  // namespace screen
