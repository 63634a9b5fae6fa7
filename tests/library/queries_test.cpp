#include "library/queries.h"

#include <gtest/gtest.h>

namespace library {
namespace {

TEST(QueriesTest, BuildTheTextsTheLibraryIsAskedExactly) {
  struct Case {
    std::string built;
    std::string_view text;
  };
  const Case kCases[] = {
      {AlbumsOfLetterQuery("b", "All"),
       "Select Distinct Album from jubodb.txt where Album Like '[Bb]%' Order by Album ASC"},
      {AlbumsOfLetterQuery("*", "All"),
       "Select Distinct Album from jubodb.txt where Album Not Like '[a-zA-Z]%' Order by Album ASC"},
      {AlbumsOfLetterQuery("Z", "Rock 'n' Roll"),
       "Select Distinct Album from jubodb.txt where Album Like '[Zz]%' and Genre = 'Rock ''n'' "
       "Roll' Order by Album ASC"},
      {AlbumsOfLetterQuery("*", "Jazz"),
       "Select Distinct Album from jubodb.txt where Album Not Like '[a-zA-Z]%' and Genre = "
       "'Jazz' Order by Album ASC"},
      {ArtistAlbumsQuery("O''Dara", "Jazz"),
       "Select Distinct Album from jubodb.txt where Artist = 'O''Dara' and Genre = 'Jazz' Order "
       "by Album ASC"},
      {ArtistAlbumsQuery("O''Dara", "All"),
       "Select Distinct Album from jubodb.txt where Artist = 'O''Dara' Order by Album ASC"},
      {ArtistsOfLetterQuery("a", "All"),
       "Select Distinct Artist from jubodb.txt where Artist Like '[Aa]%' Order by Artist ASC"},
      {ArtistsOfLetterQuery("*", "All"),
       "Select Distinct Artist from jubodb.txt where Artist Not Like '[a-zA-Z]%' Order by Artist "
       "ASC"},
      {ArtistsOfLetterQuery("Q", "Blues"),
       "Select Distinct Artist from jubodb.txt where Artist Like '[Qq]%' and Genre = 'Blues' "
       "Order by Artist ASC"},
      {ArtistsOfLetterQuery("*", "Blues"),
       "Select Distinct Artist from jubodb.txt where Artist Not Like '[a-zA-Z]%' and Genre = "
       "'Blues' Order by Artist ASC"},
      {ArtistAlbumTracksQuery("Dara's Best", "O''Dara"),
       "Select Track, Title, Artist, Filename from jubodb.txt where Album = 'Dara''s Best' and "
       "Artist = 'O''Dara' Order By Track ASC"},
      {AlbumTracksQuery("Dara's Best", "Jazz"),
       "Select Track, Title, Artist, Filename from jubodb.txt where Album = 'Dara''s Best' and "
       "Genre = 'Jazz' Order By Track ASC"},
      {AlbumTracksQuery("Blue Hour", "All"),
       "Select Track, Title, Artist, Filename from jubodb.txt where Album = 'Blue Hour' Order By "
       "Track ASC"},
      {LetterIndexQuery("album", "Jazz"),
       "Select Distinct Album from jubodb.txt where Genre = 'Jazz' Order by Album ASC"},
      {LetterIndexQuery("album", "All"),
       "Select Distinct Album from jubodb.txt Order by Album ASC"},
      {LetterIndexQuery("artist", "Jazz"),
       "Select Distinct Artist from jubodb.txt where Genre = 'Jazz' Order by Artist ASC"},
      {LetterIndexQuery("artist", "All"),
       "Select Distinct Artist from jubodb.txt Order by Artist ASC"},
      {GenresQuery(), "Select Distinct Genre from jubodb.txt Order by Genre ASC"},
      {AllAlbumsQuery(), "Select Distinct Album from jubodb.txt"},
      {AllArtistsQuery(), "Select Distinct Artist from jubodb.txt"},
      {TemposQuery(), "Select Distinct Tempo from jubodb.txt Order by Tempo ASC"},
      {CriteriaSongsQuery({}), "Select * from jubodb.txt"},
      {CriteriaSongsQuery({{"A", "B'C"}, {}, {"Jazz"}, {"Slow", "Fast"}}),
       "Select * from jubodb.txt where (Album = 'A' or Album = 'B''C') and (Genre = 'Jazz') and "
       "(Tempo = 'Slow' or Tempo = 'Fast')"},
      {CriteriaSongsQuery({{}, {"O'Dara"}, {}, {}}),
       "Select * from jubodb.txt where (Artist = 'O''Dara')"},
      {NonStopSongsQuery({}), "Select * from jubodb.txt"},
      {NonStopSongsQuery({{"A"}, {"X", "Y"}, {}, {"Slow"}}),
       "Select * from jubodb.txt where (Album <> 'A') and (Artist <> 'X' and Artist <> 'Y') and "
       "(Tempo <> 'Slow')"},
      {ArtistSongsQuery("O''Dara"),
       "Select Album, Track, Title, Artist, Filename from jubodb.txt where Artist = 'O''Dara' "
       "Order by Album ASC, Track ASC"},
      {LetterSongsQuery("album", "b", "All"),
       "Select Album, Track, Title, Artist, Filename from jubodb.txt where Album Like '[Bb]%' "
       "Order by Album ASC, Track ASC"},
      {LetterSongsQuery("artist", "*", "All"),
       "Select Album, Track, Title, Artist, Filename from jubodb.txt where Artist Not Like "
       "'[a-zA-Z]%' Order by Album ASC, Track ASC"},
      {LetterSongsQuery("artist", "m", "Jazz"),
       "Select Album, Track, Title, Artist, Filename from jubodb.txt where Artist Like '[Mm]%' "
       "and Genre = 'Jazz' Order by Album ASC, Track ASC"},
      {LetterSongsQuery("album", "*", "Jazz"),
       "Select Album, Track, Title, Artist, Filename from jubodb.txt where Album Not Like "
       "'[a-zA-Z]%' and Genre = 'Jazz' Order by Album ASC, Track ASC"},
      {GenreSongsQuery("album", "Rock 'n' Roll"),
       "Select Album, Track, Title, Artist, Filename from jubodb.txt where Genre = 'Rock ''n'' "
       "Roll' Order By Album ASC, Track ASC"},
      {GenreSongsQuery("artist", "Jazz"),
       "Select Album, Track, Title, Artist, Filename from jubodb.txt where Genre = 'Jazz' Order "
       "by Album ASC, Track ASC"},
      {GenreSongsQuery("artist", "All"),
       "Select Album, Track, Title, Artist, Filename from jubodb.txt Order By Album ASC, Track "
       "ASC"},
      {SongInfoQuery("/music/O'Dara/01.ogg"),
       "Select Title, Artist, Album from jubodb.txt where Filename = '/music/O''Dara/01.ogg'"},
  };
  for (const Case& c : kCases) EXPECT_EQ(c.built, c.text);
}

TEST(QueriesTest, QuotingRuleAndItsReverse) {
  struct Case {
    std::string_view raw, escaped;
  };
  const Case kCases[] = {{"", ""}, {"O'Dara", "O''Dara"}, {"''", "''''"}, {"a'b'c", "a''b''c"}};
  for (const Case& c : kCases) {
    EXPECT_EQ(Escape(c.raw), c.escaped);
    EXPECT_EQ(Unescape(c.escaped), c.raw);
  }
}

}  // namespace
}  // namespace library
