// The Settings view: the user's settings as rows whose captions show their values. Enter
// changes the highlighted one in place, in memory; Left saves every setting and goes back to
// the Main Menu. Its row of the view table is kSettingsView; the hotkey V shows it from
// anywhere.
#pragma once

namespace screen {

struct ScreenContext;

// Draws the rows from the settings in memory, and the hints; CurrentRow and CurrentView are
// navigation's.
void RenderSettings(ScreenContext& jubo);

}  // namespace screen
