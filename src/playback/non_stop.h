// Non-Stop Music: the playlist kept fed with songs drawn at random from the whole library,
// outside the exclusions, until each has been drawn once. The pool is the library's rsNonStop
// (open exactly while the mode is on) and the selection's NonStopPool of its records not drawn
// yet; each draw costs the same whatever the library's size.
#pragma once

namespace playback {

struct PlayerContext;

enum class NonStopSwitch { kOn, kOff, kAllExcluded };

// Turns Non-Stop Music off when it is on (kOff; the playlist keeps its songs). Else builds the
// pool of every song outside the exclusions, reseeding the random source from the clock, and,
// when the playlist has nothing after its current song, draws until a song not already in the
// playlist comes up (songs drawn that are in it are used up) and appends it, then starts
// playing if nothing was chosen to play yet (kOn). kAllExcluded: no song passes the
// exclusions (or the library cannot be asked); the mode stays off and nothing changes, and the
// caller tells the user. Either switch tells PlayerChanged.
NonStopSwitch PlayMyLibrary(PlayerContext& jubo);

// Turns Non-Stop Music off, if it is on: the pool is emptied and rsNonStop closed.
void TurnNonStopOff(PlayerContext& jubo);

// The engine's draw when the last entry starts, or fails while skipping, with Non-Stop Music
// on: appends one more song from the pool, without looking for it in the playlist; nothing
// once the pool is empty.
void DrawNonStopSong(PlayerContext& jubo);

}  // namespace playback
