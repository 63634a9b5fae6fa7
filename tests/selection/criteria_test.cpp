// Jubo DJ's lists and marks, and the exclusion editor opened over them and left.
#include "selection/criteria.h"

#include <gtest/gtest.h>

#include "support/harness.h"

namespace selection {
namespace {

using Names = std::vector<std::string>;
using Marks = std::vector<bool>;

TEST(CriteriaTest, ListsLoadOnceAndTheEditorAddsEveryStoredExclusionToTheMarks) {
  jubo_test::TempDir dir;  // the small library and a song of no album, genre or tempo
  jubo_test::SmallLibrary()
      .Song({"", "Nobody", "Hum", "1", "/music/hum.ogg", "", ""})
      .WriteTo(dir.path());
  library::LibraryState lib;
  ASSERT_TRUE(library::OpenLibrary(lib, dir.path().string()).ok());
  SelectionState s;
  CreateCriteria(lib, s);
  EXPECT_EQ(s.AlbumCount, 6);  // no album counts as one
  EXPECT_EQ(s.ArtistCount, 5);
  EXPECT_EQ(s.GenreNames, (Names{"Blues", "Jazz", "Rock"}));
  EXPECT_EQ(s.TempoNames, (Names{"Fast", "Medium", "Slow"}));
  EXPECT_EQ(s.TempoCount, 3);

  ToggleChosen(s.ChosenAlbums, "Élan");  // marked in Jubo DJ and left there
  s.GenreSelected[0] = true;             // Blues
  CreateCriteria(lib, s);                // as every drawing of the criteria menu does
  s.ExcludedAlbums = {"Blue Hour", "Élan"};
  s.ExcludedArtists = {"O'Dara", "Zed", "Ana", "Cy", "Nobody", "Gone"};  // as many as there are
  s.ExcludedGenres = {"Rock", "Polka"};  // Polka is no longer in the library
  s.ExcludedTempos = {"Slow"};
  OpenExclusionEditor(s);
  EXPECT_EQ(s.ChosenAlbums, (Names{"Élan", "Blue Hour"}));
  EXPECT_EQ(s.ChosenArtists.size(), 6u);
  EXPECT_EQ(s.GenreSelected, (Marks{true, false, true}));
  EXPECT_EQ(s.TempoSelected, (Marks{false, false, true}));

  EXPECT_FALSE(ToggleChosen(s.ChosenAlbums, "Élan"));
  CommitExclusions(s);
  EXPECT_EQ(s.ExcludedAlbums, (Names{"Blue Hour"}));
  EXPECT_EQ(s.ExcludedGenres, (Names{"Blues", "Rock"}));
  EXPECT_EQ(s.ExcludedTempos, (Names{"Slow"}));
  ClearSelection(s);
  EXPECT_TRUE(s.ChosenAlbums.empty() && s.ChosenArtists.empty());
  EXPECT_EQ(s.GenreSelected, Marks(3, false));
  EXPECT_EQ(s.TempoSelected, Marks(3, false));
  EXPECT_EQ(s.ExcludedArtists.size(), 6u);
}

}  // namespace
}  // namespace selection
