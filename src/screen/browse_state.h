// State of the browse views: the genre lists of the two hierarchies and the first-letter index.
// (Which hierarchy and which genre filter are the library's browse state, library/.)
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace screen {

struct BrowseState {
  // "All" then the library's genres, built once per run on first entry into each hierarchy.
  std::vector<std::string> AlbumGenreNames, ArtistGenreNames;
  int32_t AlbumGenreCount = -1;          // entries of AlbumGenreNames; -1 until built
  int32_t ArtistGenreCount = -1;         // entries of ArtistGenreNames; -1 until built
  std::vector<std::string> LetterItems;  // the index: upper-case letters, then "*" if any
  int32_t LetterCount = 0;
  std::string TracksAlbum;  // the album of the track list, as stored: its title
  // Which menu the criteria view serves: "jubodj" (Jubo DJ) or "libraryexclude" (the Non-Stop
  // exclusion editor).
  std::string CurrentMenuKey = "jubodj";
  std::string CriteriaName;  // the select view's list: "Genres" or "Tempo"
};

}  // namespace screen
