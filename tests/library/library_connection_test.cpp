#include "library/library_connection.h"

#include <gtest/gtest.h>

#include "library/queries.h"
#include "support/temp_dir.h"

namespace library {
namespace {

TEST(LibraryConnectionTest, ConnectionStringKeepsItsShape) {
  EXPECT_EQ(ConnectionString("/home/me/jubo"),
            "DRIVER={Text Driver (*.txt; *.csv)};DBQ=/home/me/jubo;");
}

TEST(LibraryConnectionTest, CloseAllClosesTheBrowsingCursorsOnly) {
  LibraryState state;
  closealldatabases(state);  // nothing opened yet: nothing happens

  jubo_test::TempDir dir;
  dir.Write(kLibraryFile,
            "Album,Artist,Title,Track,Filename,Genre\nA,O'Dara,T,1,/f,Jazz\nB,Bo,U,2,/g,\n");
  ASSERT_TRUE(OpenLibrary(state, dir.path().string()).ok());
  textdb::Cursor* all[] = {&state.rsAlbums,   &state.rsArtists,     &state.rsTracks,
                           &state.rsLetters,  &state.rsAlbumGenres, &state.rsArtistGenres,
                           &state.rsSongInfo, &state.rsNonStop,     &state.rsAddSongs};
  for (textdb::Cursor* c : all) {
    ASSERT_TRUE(c->Open(GenresQuery(), state.LibraryConnection).ok());
  }
  closealldatabases(state);
  for (size_t i = 0; i < std::size(all); ++i) {
    bool kept = all[i] == &state.rsNonStop || all[i] == &state.rsAddSongs;
    EXPECT_EQ(all[i]->State(), kept ? textdb::Cursor::kStateOpen : textdb::Cursor::kStateClosed)
        << "cursor " << i;
  }
}

TEST(LibraryConnectionTest, EveryBuiltQueryRunsOnALibrary) {
  LibraryState state;
  jubo_test::TempDir dir;
  dir.Write(kLibraryFile,
            "Album,Artist,Title,Track,Filename,Genre,Tempo\n"
            "Dara's Best,O'Dara,T,1,/m/O'Dara/1.ogg,Rock 'n' Roll,Slow\n");
  ASSERT_TRUE(OpenLibrary(state, dir.path().string()).ok());
  const std::string kQueries[] = {
      AlbumsOfLetterQuery("d", "Rock 'n' Roll"),
      ArtistAlbumsQuery(Escape("O'Dara"), "Rock 'n' Roll"),
      ArtistsOfLetterQuery("o", "All"),
      ArtistAlbumTracksQuery("Dara's Best", Escape("O'Dara")),
      AlbumTracksQuery("Dara's Best", "Rock 'n' Roll"),
      LetterIndexQuery("artist", "Rock 'n' Roll"),
      CriteriaSongsQuery({{"Dara's Best"}, {"O'Dara"}, {"Rock 'n' Roll"}, {"Slow"}}),
      ArtistSongsQuery(Escape("O'Dara")),
      LetterSongsQuery("album", "D", "Rock 'n' Roll"),
      GenreSongsQuery("album", "Rock 'n' Roll"),
      SongInfoQuery("/m/O'Dara/1.ogg"),
  };
  for (const std::string& q : kQueries) {
    textdb::Cursor cursor;
    textdb::Status s = cursor.Open(q, state.LibraryConnection);
    EXPECT_TRUE(s.ok()) << q << ": " << s.message();
    EXPECT_EQ(cursor.RecordCount(), 1) << q;
  }
  textdb::Cursor none;
  ASSERT_TRUE(none.Open(NonStopSongsQuery({{}, {"O'Dara"}, {}, {}}), state.LibraryConnection).ok());
  EXPECT_EQ(none.RecordCount(), 0);
}

TEST(LibraryConnectionTest, MissingAndRefusedLibraries) {
  LibraryState state;
  jubo_test::TempDir dir;
  EXPECT_EQ(OpenLibrary(state, dir.path().string()).code(), textdb::ErrorCode::kNotFound);
  dir.Write(kLibraryFile, "Title,Filename\nT,/f\n");
  textdb::Status s = OpenLibrary(state, dir.path().string());
  EXPECT_EQ(s.code(), textdb::ErrorCode::kRefused);
  EXPECT_NE(s.message().find("no column Album, Artist"), std::string::npos) << s.message();
}

}  // namespace
}  // namespace library
