// Laying the main screen out for the display, once at start-up.
#pragma once

#include "screen/screen_state.h"

namespace screen {

// Sets ScreenScale (display height / 600 pixels), ListTop, ListLeft, PageSize and the place,
// size and font of every element for a display of `width_px` by `height_px`, creates rows
// 0..PageSize (all empty) and RowValues 0..PageSize. The help text box starts hidden.
void LayOutScreen(ScreenState& s, int width_px, int height_px);

// Rows per page on a display `height` twips high, for the given scale and ListTop.
int16_t ComputePageSize(int height, float scale, int list_top);

}  // namespace screen
