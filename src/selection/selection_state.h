// Automatic selection: the criteria lists of Jubo DJ and the state of Non-Stop Music.
#pragma once

#include <cstdint>

namespace selection {

struct SelectionState {
  // Sizes of the criteria lists; -1 until loaded.
  int32_t AlbumCount = -1, ArtistCount = -1, GenreCount = -1, TempoCount = -1;
  int32_t ChosenAlbumCount = 0, ChosenArtistCount = 0;  // albums and artists marked
  bool NonStop = false;                                 // Non-Stop Music is on
  bool NonStopReady = true;  // false while the next random song is being queued
};

}  // namespace selection
