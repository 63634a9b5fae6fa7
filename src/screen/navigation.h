// Moving between views, in one place. Each move sets CurrentView before anything is drawn
// (the hint, the marks and the highlight's width follow the view), then shows the view's
// title, its page and the highlight. Breadcrumbs, the rows remembered for the way back
// (SavedRow) and the pages kept per view (ViewPage) are kept here, and so are the keys every
// list and every menu shares.
#pragma once

#include <cstdint>
#include <string>

#include "screen/screen_state.h"
#include "screen/view_codes.h"

namespace screen {

struct ScreenContext;

// One step deeper (Right, or a menu item): a breadcrumb more, the beep cue, the current row
// remembered for the way back; `to` is built from `chosen` and shown at its first page, row 1.
void StepInto(ScreenContext& jubo, ViewCode to, const std::string& chosen);

// Right (or Enter) into `to` with the row's name, as a view row names it:
// `.right = Into<kViewTracks>`.
template <ViewCode to>
void Into(ScreenContext& jubo, const RowValue& value) {
  StepInto(jubo, to, value.text);
}

// A menu row's Enter into `to`: `.enter = Open<kViewSettings>`.
template <ViewCode to>
void Open(ScreenContext& jubo) {
  StepInto(jubo, to, "");
}

// One step back (Left) to `to`: the view left closes what it held open, a breadcrumb less, the
// beep cue (unless the view left is quiet); `to` is redrawn (not rebuilt) at the page and row
// the user left it on.
void StepBackTo(ScreenContext& jubo, ViewCode to);

// The Main Menu at depth 1 with row `row` highlighted, from any view. Closing the cursors
// of the views left is the caller's (closealldatabases).
void ShowMainMenu(ScreenContext& jubo, int16_t row);
// The same for `view`, a menu, shown at breadcrumb depth `depth` (a hotkey's jump).
void ShowMenuAt(ScreenContext& jubo, ViewCode view, int16_t depth, int16_t row);

// Draws the page of the view on the screen again, as the state now has it, and keeps the
// highlight on the row it was on (or the last row the page still shows).
void RedrawKeepingRow(ScreenContext& jubo);

// A menu on the screen shows its rows as the state now has them, the highlight kept: run after
// anything that may change what a row names (a hotkey, the engine), whichever view it came from.
// Any other view is left alone.
void RefreshMenu(ScreenContext& jubo);

// The last step of the key dispatch: the key goes to the view on the screen. A list gets
// the movement keys, Left, and Right and Enter on its highlighted row (refused with the error
// cue on an empty list); a menu gets Up, Down, Left and Enter on its highlighted row. A code
// with no view ignores keys.
void ViewKeyDown(ScreenContext& jubo, int16_t& KeyCode);

}  // namespace screen
