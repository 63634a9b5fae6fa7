// Moving the highlight within a page, as every view does: it never wraps, it never lands on a
// row without a caption; a move sounds the beep cue, a refused one the error cue.
#pragma once

namespace app {
struct Jubo;
}

namespace screen {

// Moves the highlight by `step` rows (-1 up, +1 down). Returns true when it moved.
bool MoveWithinPage(app::Jubo& jubo, int step);

}  // namespace screen
