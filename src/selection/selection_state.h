// Automatic selection: the criteria lists of Jubo DJ and the state of Non-Stop Music.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace selection {

struct SelectionState {
  // Sizes of the criteria lists; -1 until loaded.
  int32_t AlbumCount = -1, ArtistCount = -1, GenreCount = -1, TempoCount = -1;
  int32_t ChosenAlbumCount = 0, ChosenArtistCount = 0;  // albums and artists marked
  bool NonStop = false;                                 // Non-Stop Music is on
  bool NonStopReady = true;  // false while the next random song is being queued

  // What Non-Stop Music leaves out, kept in the settings store: albums and artists in the order
  // they were marked, genres and tempos in the order of their lists. Each count is its size.
  std::vector<std::string> ExcludedAlbums, ExcludedArtists, ExcludedGenres, ExcludedTempos;
};

}  // namespace selection
