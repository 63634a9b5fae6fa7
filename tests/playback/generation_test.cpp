// Jubo DJ's generation: which songs the marks select, how many, in the order drawn, and
// playback starting only when nothing was chosen to play.
#include "playback/generation.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "playback/player_engine.h"
#include "selection/criteria.h"
#include "support/session.h"

namespace playback {
namespace {

using jubo_test::Entries;
using jubo_test::FixtureLibrary;
using jubo_test::Harness;
using Titles = std::vector<std::string>;

TEST(GenerationTest, AskingForMoreThanMatchesAddsEachOnceInTheOrderDrawn) {
  // Written Zulu first: the library's order (Alpha, then Zulu) is not the file's.
  Harness h(FixtureLibrary()
                .Album("Zulu", "Ann", "Jazz", {"z1"})
                .Album("Alpha", "Bob", "Rock", {"a1", "a2"}));
  h.random.next = {0.0, 0.9};  // the first of a1, a2, z1; then the last of the two left
  h.loop.Then([&] {
    EXPECT_EQ(GenerateSongs(h.jubo, 0), 0);
    EXPECT_EQ(h.jubo.library.sqlAlbums, "") << "a count of 0 asks nothing";
    EXPECT_EQ(GenerateSongs(h.jubo, 5), 3);
    EXPECT_EQ(Entries(h), (Titles{"a1 by Bob", "z1 by Ann", "a2 by Bob"}));
    EXPECT_EQ(h.random.randomized, 1);
  });
  // A playlist that plays only grows.
  h.loop.Wait(100).Then([&] {
    EXPECT_EQ(GenerateSongs(h.jubo, 1), 1);
    EXPECT_EQ(h.jubo.playlist.SongCount, 4);
    EXPECT_EQ(h.player.loads, (Titles{"/music/Bob/Alpha/01.ogg"}));
    EXPECT_EQ(h.player.playState(), kPlaying);
  });
  h.Run();
}

TEST(GenerationTest, ValuesOfOneListAreAlternativesAndListsNarrowEachOther) {
  struct Case {
    Titles albums, artists, genres, tempos;
    Titles songs;  // the titles generated, sorted
  };
  const Case kCases[] = {
      {{}, {}, {"x", "y"}, {"z"}, {"b1", "c1", "r1"}},  // xy lies between the two, unmarked
      {{"Rock 'n' Roll"}, {}, {}, {}, {"r1"}},
      {{}, {"O'Dara", "Al"}, {}, {}, {"b1", "d1", "r1"}},
      {{"Blue", "Cold"}, {"Bo"}, {}, {}, {"c1"}},
      {{"Blue"}, {}, {"y"}, {}, {}},
  };
  Harness h(FixtureLibrary()
                .Album("Blue", "Al", "x", {"b1"}, "z")
                .Album("Cold", "Bo", "y", {"c1"}, "z")
                .Album("Dust", "Al", "x", {"d1"}, "w")
                .Album("Echo", "Bo", "xy", {"e1"}, "z")
                .Album("Rock 'n' Roll", "O'Dara", "y", {"r1"}, "z"));
  h.loop.Then([&] {
    selection::SelectionState& s = h.jubo.selection;
    selection::CreateCriteria(h.jubo.library, s);
    for (const Case& c : kCases) {
      selection::ClearSelection(s);
      s.ChosenAlbums = c.albums;
      s.ChosenArtists = c.artists;
      for (size_t i = 0; i < s.GenreNames.size(); ++i) {
        s.GenreSelected[i] = std::count(c.genres.begin(), c.genres.end(), s.GenreNames[i]) > 0;
      }
      for (size_t i = 0; i < s.TempoNames.size(); ++i) {
        s.TempoSelected[i] = std::count(c.tempos.begin(), c.tempos.end(), s.TempoNames[i]) > 0;
      }
      ClearPlaylist(h.jubo);
      EXPECT_EQ(GenerateSongs(h.jubo, 10), static_cast<int32_t>(c.songs.size()))
          << h.jubo.library.sqlAlbums;
      Titles songs;
      for (const std::string& entry : Entries(h)) songs.push_back(entry.substr(0, 2));
      std::sort(songs.begin(), songs.end());
      EXPECT_EQ(songs, c.songs) << h.jubo.library.sqlAlbums;
    }
  });
  h.Run();
}

}  // namespace
}  // namespace playback
