#include "library/library_connection.h"

#include <gtest/gtest.h>

#include "library/queries.h"
#include "support/temp_dir.h"

namespace library {
namespace {

// The queries the views build, run on a library whose names need quoting: the rows each
// returns, in order, tell its filters, its quoting and its sort (what the browsing session of
// BrowseViewsTest shows is its own).
TEST(LibraryConnectionTest, EveryBuiltQueryReturnsItsRowsInOrder) {
  LibraryState state;
  jubo_test::TempDir dir;
  dir.Write(kLibraryFile,
            "Album,Artist,Title,Track,Filename,Genre,Tempo\n"
            "Dara's Best,O'Dara,T2,2,/m/O'Dara/2.ogg,Rock 'n' Roll,Slow\n"
            "Dara's Best,O'Dara,T1,1,/m/O'Dara/1.ogg,Rock 'n' Roll,Slow\n"
            "Blue Hour,Bo,U,1,/m/b.ogg,Jazz,Fast\n"
            "10 Rivers,Ana,V,3,/m/c.ogg,Jazz,Slow\n");
  ASSERT_TRUE(OpenLibrary(state, dir.path().string()).ok());
  struct Case {
    std::string query;
    std::string rows;  // the first column of each row, or Title where the query has it
  };
  const std::string kOdara = Escape("O'Dara");
  const Case kCases[] = {
      {AlbumsOfLetterQuery("d", "Rock 'n' Roll"), "Dara's Best"},
      {AlbumsOfLetterQuery("*", "All"), "10 Rivers"},
      {ArtistAlbumsQuery(kOdara, "Jazz"), ""},
      {ArtistsOfLetterQuery("*", "Jazz"), ""},
      {ArtistAlbumTracksQuery("Dara's Best", kOdara), "T1|T2"},
      {AlbumTracksQuery("Dara's Best", "Rock 'n' Roll"), "T1|T2"},
      {AlbumTracksQuery("Blue Hour", "Rock 'n' Roll"), ""},
      {LetterIndexQuery("artist", "Jazz"), "Ana|Bo"},
      {TemposQuery(), "Fast|Slow"},
      {CriteriaSongsQuery({{"Dara's Best", "Blue Hour"}, {}, {"Jazz"}, {}}), "U"},
      {NonStopSongsQuery({{}, {"O'Dara"}, {}, {"Fast"}}), "V"},
      {ArtistSongsQuery(kOdara), "T1|T2"},
      {LetterSongsQuery("album", "b", "Jazz"), "U"},
      {LetterSongsQuery("artist", "*", "All"), ""},
      {GenreSongsQuery("album", "Rock 'n' Roll"), "T1|T2"},
      {GenreSongsQuery("artist", "All"), "V|U|T1|T2"},
      {SongInfoQuery("/m/O'Dara/1.ogg"), "T1"},
  };
  for (const Case& c : kCases) {
    textdb::Cursor cursor;
    textdb::Status s = cursor.Open(c.query, state.LibraryConnection);
    ASSERT_TRUE(s.ok()) << c.query << ": " << s.message();
    std::string rows;
    for (; !cursor.IsEOF(); cursor.MoveNext()) {
      auto value = cursor.Field("Title");
      if (!value) value = cursor.FieldAt(0);
      rows += (rows.empty() ? "" : "|") + std::string(value.value_or("(Null)"));
    }
    EXPECT_EQ(rows, c.rows) << c.query;
  }
}

}  // namespace
}  // namespace library
