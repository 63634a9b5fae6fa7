// Moving the highlight, as every view does: it never wraps and never lands on a row without a
// caption; a move sounds the beep cue, a refused one the error cue.
#pragma once

#include <cstdint>

namespace screen {

struct ScreenContext;

// Within one page (the menus): moves the highlight by `step` rows (-1 up, +1 down). Returns
// true when it moved.
bool MoveWithinPage(ScreenContext& jubo, int step);

// The paged lists (genres, the letter index, albums, artists, songs): Up, Down, Page Up and
// Page Down move through the pages of the view on the screen (its ViewPage entry), drawing
// with its draw routine, which sets CurrentRow = 1 and pulls a page past the end back to the
// last one. Returns false for any other key.
bool MoveInList(ScreenContext& jubo, int16_t key);

}  // namespace screen
