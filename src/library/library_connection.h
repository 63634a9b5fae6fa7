// The library: the one connection to `jubodb.txt`, the named cursors that hold query results
// with the text of their last query, and the browse state that query texts are built from.
// Owned by the program's context; views fill and close the cursors (see queries.h for the
// texts).
#pragma once

#include <string>

#include "textdb/connection.h"
#include "textdb/cursor.h"
#include "textdb/status.h"

namespace library {

// The library file in the program's folder: the driver's one table.
inline constexpr const char* kLibraryFile = textdb::kLibraryTable;

struct LibraryState {
  textdb::Connection LibraryConnection;  // opened at start-up, never closed explicitly

  textdb::Cursor rsAlbums;        // albums of a letter or an artist; Jubo DJ's songs
  textdb::Cursor rsArtists;       // artists of a letter
  textdb::Cursor rsTracks;        // an album's songs
  textdb::Cursor rsLetters;       // names behind the first-letter index
  textdb::Cursor rsAlbumGenres;   // genres of the album hierarchy
  textdb::Cursor rsArtistGenres;  // genres of the artist hierarchy
  textdb::Cursor rsSongInfo;      // title, artist, album of the song that started
  textdb::Cursor rsNonStop;       // Non-Stop Music's pool of songs
  textdb::Cursor rsAddSongs;      // songs being added to the playlist
  std::string sqlAlbums, sqlArtists, sqlTracks, sqlLetters, sqlAlbumGenres, sqlArtistGenres,
      sqlSongInfo, sqlNonStop, sqlAddSongs;  // each cursor's last query text

  std::string BrowseBy = "album";   // "album" or "artist": the hierarchy being browsed
  std::string AlbumGenre = "All";   // genre chosen in the album hierarchy; "All" for none
  std::string ArtistGenre = "All";  // genre chosen in the artist hierarchy; "All" for none
  std::string SelectedArtist;       // the artist being browsed, single quotes already doubled
};

// "DRIVER={Text Driver (*.txt; *.csv)};DBQ=<folder>;"
std::string ConnectionString(const std::string& folder);

// Opens `state.LibraryConnection` on `folder` and loads `jubodb.txt`. kNotFound when the file
// is missing; kRefused (naming the missing columns) when it cannot be a library.
textdb::Status OpenLibrary(LibraryState& state, const std::string& folder);

// Closes every browsing cursor that is open: rsAlbums, rsArtists, rsTracks, rsLetters,
// rsAlbumGenres, rsArtistGenres and rsSongInfo. rsNonStop and rsAddSongs are left as they are.
void closealldatabases(LibraryState& state);

}  // namespace library
