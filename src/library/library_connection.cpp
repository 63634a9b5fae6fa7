#include "library/library_connection.h"

namespace library {

std::string ConnectionString(const std::string& folder) {
  return "DRIVER={Text Driver (*.txt; *.csv)};DBQ=" + folder + ";";
}

textdb::Status OpenLibrary(LibraryState& state, const std::string& folder) {
  if (textdb::Status s = state.LibraryConnection.Open(ConnectionString(folder), "", ""); !s.ok()) {
    return s;
  }
  return state.LibraryConnection.LoadTable(kLibraryFile);
}

void closealldatabases(LibraryState& state) {
  for (textdb::Cursor* cursor :
       {&state.rsAlbums, &state.rsArtists, &state.rsTracks, &state.rsLetters, &state.rsAlbumGenres,
        &state.rsArtistGenres, &state.rsSongInfo}) {
    if (cursor->State() != textdb::Cursor::kStateClosed) cursor->Close();
  }
}

}  // namespace library
