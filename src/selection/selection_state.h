// Automatic selection: the criteria lists of Jubo DJ, the marks made in them, the exclusions
// of Non-Stop Music and the state of Non-Stop Music.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace selection {

struct SelectionState {
  // The library's tallies behind the criteria menus, filled by CreateCriteria; -1 until then.
  int32_t AlbumCount = -1;   // distinct albums (no album counts as one)
  int32_t ArtistCount = -1;  // distinct artists (no artist counts as one)
  // The distinct genres and tempos a song has (none makes no entry), ascending, each with its
  // mark; a count is its list's size once loaded, -1 before.
  std::vector<std::string> GenreNames;
  std::vector<bool> GenreSelected;  // parallel to GenreNames
  int32_t GenreCount = -1;
  std::vector<std::string> TempoNames;
  std::vector<bool> TempoSelected;  // parallel to TempoNames
  int32_t TempoCount = -1;

  // Albums and artists marked in the choosing lists, in marking order, no duplicates.
  std::vector<std::string> ChosenAlbums, ChosenArtists;

  // What Non-Stop Music leaves out, kept in the settings store: albums and artists in the order
  // they were marked, genres and tempos in the order of their lists. Each count is its size.
  std::vector<std::string> ExcludedAlbums, ExcludedArtists, ExcludedGenres, ExcludedTempos;

  bool NonStop = false;      // Non-Stop Music is on
  bool NonStopReady = true;  // false while the next random song is being queued
  // Non-Stop Music's pool while it is on: records (0-based) of the library's rsNonStop, the
  // songs outside the exclusions. NonStopPool[0, NonStopDrawn) have been drawn; the rest have
  // not. Empty while Non-Stop Music is off.
  std::vector<uint32_t> NonStopPool;
  size_t NonStopDrawn = 0;
};

}  // namespace selection
