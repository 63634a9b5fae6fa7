// Jubo DJ's lists and marks, and the exclusion editor opened over them and left.
#include "selection/criteria.h"

#include <gtest/gtest.h>

#include "support/harness.h"

namespace selection {
namespace {

using Names = std::vector<std::string>;
using Marks = std::vector<bool>;

// The small library and a song with no genre, tempo or album: albums 6 (none counts), artists 5.
struct Library {
  Library() {
    jubo_test::SmallLibrary()
        .Song({"", "Nobody", "Hum", "1", "/music/hum.ogg", "", ""})
        .WriteTo(dir.path());
    EXPECT_TRUE(library::OpenLibrary(lib, dir.path().string()).ok());
  }
  jubo_test::TempDir dir;
  library::LibraryState lib;
};

TEST(CriteriaTest, TheListsAreLoadedOnceAndKeepTheirMarks) {
  Library l;
  SelectionState s;
  CreateCriteria(l.lib, s);
  EXPECT_EQ(s.AlbumCount, 6);
  EXPECT_EQ(s.ArtistCount, 5);
  EXPECT_EQ(s.GenreNames, (Names{"Blues", "Jazz", "Rock"}));
  EXPECT_EQ(s.TempoNames, (Names{"Fast", "Medium", "Slow"}));
  EXPECT_EQ(s.TempoCount, 3);
  EXPECT_EQ(s.TempoSelected, Marks(3, false));
  s.GenreSelected[1] = true;
  CreateCriteria(l.lib, s);  // as every drawing of the criteria menu does
  EXPECT_EQ(s.GenreSelected, (Marks{false, true, false}));
}

TEST(CriteriaTest, ChosenNamesKeepTheirMarkingOrder) {
  Names chosen;
  EXPECT_TRUE(ToggleChosen(chosen, "B"));
  EXPECT_TRUE(ToggleChosen(chosen, "A"));
  EXPECT_TRUE(ToggleChosen(chosen, "C"));
  EXPECT_FALSE(ToggleChosen(chosen, "A"));
  EXPECT_EQ(chosen, (Names{"B", "C"}));
}

TEST(CriteriaTest, TheEditorAddsEveryStoredExclusionToTheMarksAndLeavesThemAsExclusions) {
  Library l;
  SelectionState s;
  CreateCriteria(l.lib, s);
  ToggleChosen(s.ChosenAlbums, "Élan");  // marked in Jubo DJ and left there
  s.GenreSelected[0] = true;             // Blues
  s.ExcludedAlbums = {"Blue Hour", "Élan"};
  s.ExcludedArtists = {"O'Dara", "Zed", "Ana", "Cy", "Nobody", "Gone"};  // as many as there are
  s.ExcludedGenres = {"Rock", "Polka"};  // Polka is no longer in the library
  s.ExcludedTempos = {"Slow"};
  OpenExclusionEditor(s);
  EXPECT_EQ(s.ChosenAlbums, (Names{"Élan", "Blue Hour"}));
  EXPECT_EQ(s.ChosenArtists, (Names{"O'Dara", "Zed", "Ana", "Cy", "Nobody", "Gone"}));
  EXPECT_EQ(s.GenreSelected, (Marks{true, false, true}));
  EXPECT_EQ(s.TempoSelected, (Marks{false, false, true}));

  CommitExclusions(s);
  EXPECT_EQ(s.ExcludedAlbums, (Names{"Élan", "Blue Hour"}));
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
