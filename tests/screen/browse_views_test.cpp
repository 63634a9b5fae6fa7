// Browsing the library through the views, as a user does with the remote: genres, the letter
// index, album and artist lists, an album's songs, and back out again.
#include <gtest/gtest.h>

#include <algorithm>

#include "ground/keys.h"
#include "library/library_connection.h"
#include "screen/navigation.h"
#include "screen/track_list.h"
#include "support/session.h"

namespace screen {
namespace {

using namespace ground;
using namespace jubo_test;

// Jazz albums under every kind of first letter, a song without a genre, one without an artist,
// and names that need quoting.
FixtureLibrary Library() {
  FixtureLibrary library;
  for (const char* album : {"10 Rivers", "amber gold", "bee sides", "Zephyr Road", "Élan"}) {
    library.Album(album, "Ana", "Jazz", {"Song"});
  }
  library.Album("Blue Hour", "O'Dara", "Jazz", {"Intro"})
      .Album("Dara's Best", "O'Dara", "Jazz", {"Intro", "Outro"})
      .Album("Blues One", "Bluesman", "Blues", {"Sad"})
      .Album("Other", "Other Artist", "Rock", {"Loud"})
      .Song({"Untagged", "Nobody", "Quiet", "1", "/music/untagged.ogg", "", ""})
      .Song({"Untitled", "", "Quiet", "1", "/music/untitled.ogg", "Rock", ""});
  return library;
}

// A view left closes its cursor.
std::function<void(Harness&)> Closed(textdb::Cursor library::LibraryState::*cursor) {
  return [cursor](Harness& h) {
    EXPECT_EQ((h.jubo.library.*cursor).State(), textdb::Cursor::kStateClosed);
  };
}

// Down the album hierarchy and back, then down the artist hierarchy to an album's songs.
std::vector<Step> Session() {
  return {
      // Songs without a genre make no row, nor, below, songs without an artist.
      {.keys = {kKeyEnter},
       .view = kViewAlbumGenres,
       .title = "Select Albums",
       .crumbs = "Main Menu>",
       .above = "Displaying 1 to 4 of 4 Items",
       .below = "[Left = Back] [Up/Down = Scroll] [Right = Show Albums] [Enter/OK = Add to "
                "Playlist]",
       .rows = {"All Albums", "Blues Albums", "Jazz Albums", "Rock Albums"},
       .icons = {kIconMultiCD}},
      // Lower-case names under their capital, "*" last.
      {.keys = {kKeyDown, kKeyDown, kKeyRight},
       .view = kViewLetters,
       .title = "Jazz Albums by First Letter",
       .rows = {"A", "B", "D", "Z", "*"}},
      {.keys = {kKeyDown, kKeyRight},
       .view = kViewAlbums,
       .title = "Jazz Albums beginning with B",
       .crumbs = "Main Menu>Select Albums>Jazz Albums by First Letter>",
       .above = "Displaying 1 to 2 of 2 Albums",
       .rows = {"bee sides", "Blue Hour"},
       .icons = {kIconSingleCD}},
      {.keys = {kKeyLeft},
       .view = kViewLetters,
       .highlighted = "B",
       .check = Closed(&library::LibraryState::rsAlbums)},
      {.keys = {kKeyDown, kKeyDown, kKeyDown, kKeyRight},
       .view = kViewAlbums,
       .title = "Jazz Albums beginning with *",
       .rows = {"10 Rivers", "Élan"}},
      {.keys = {kKeyLeft, kKeyLeft}, .view = kViewAlbumGenres, .highlighted = "Jazz Albums"},
      {.keys = {kKeyLeft}, .view = kViewMainMenu, .highlighted = "Select Songs by Album"},
      {.keys = {kKeyDown, kKeyEnter},
       .view = kViewArtistGenres,
       .crumbs = "Main Menu>",
       .rows = {"All Artists", "Blues Artists", "Jazz Artists", "Rock Artists"}},
      {.keys = {kKeyRight},
       .view = kViewLetters,
       .title = "All Artists by First Letter",
       .rows = {"A", "B", "N", "O"}},
      {.keys = {kKeyDown, kKeyDown, kKeyDown, kKeyRight},
       .view = kViewArtists,
       .title = "All Artists beginning with O",
       .above = "Displaying 1 to 2 of 2 Artists",
       .rows = {"O'Dara", "Other Artist"}},
      {.keys = {kKeyRight},
       .view = kViewArtistAlbums,
       .title = "O'Dara Albums",
       .rows = {"Blue Hour", "Dara's Best"}},
      {.keys = {kKeyDown, kKeyRight},
       .view = kViewTracks,
       .title = "Dara's Best",
       .above = "Displaying 1 to 2 of 2 Tracks",
       .below = "[Left = Back] [Up/Down = Scroll] [Enter/OK = Add to/Remove from Playlist]",
       .rows = {"1 Intro by O'Dara", "2 Outro by O'Dara"},
       .icons = {kIconTrack}},
      // The same album again: its quotes are escaped afresh each time, never twice.
      {.keys = {kKeyLeft, kKeyRight},
       .view = kViewTracks,
       .rows = {"1 Intro by O'Dara", "2 Outro by O'Dara"}},
      {.keys = {kKeyLeft}, .title = "O'Dara Albums", .highlighted = "Dara's Best"},
      {.keys = {kKeyLeft}, .view = kViewArtists, .highlighted = "O'Dara"},
      {.keys = {KeyOf('M')},
       .view = kViewMainMenu,
       .check = Closed(&library::LibraryState::rsArtists)},
      // M from the letter index's narrow highlight, three rows down: the Main Menu's own (the
      // runner checks its row and width after every step).
      {.keys = {kKeyEnter, kKeyRight, kKeyDown, kKeyDown}, .highlighted = "D"},
      {.keys = {KeyOf('M')}, .view = kViewMainMenu, .highlighted = "Select Songs by Album"},
  };
}

TEST(BrowseViewsTest, DownBothHierarchiesAndBack) {
  Harness h(Library());
  Script(h, Session());
  h.Run();
}

// Choosing albums or artists (for Jubo DJ and the exclusions) shows the browsing lists with
// hints of their own (which tell the modes from the browsing views); Enter adds nothing (no
// question opens, so the keys after it still move through the lists), and the albums and artists
// lead no deeper.
TEST(BrowseViewsTest, ChoosingModesListWhatTheirTwinsListWithTheirOwnKeys) {
  Harness h(Library());
  Script(h,
         {
             {.check = [](Harness& h) { StepInto(h.jubo, kViewAlbumGenresChoosing, ""); }},
             {.keys = {kKeyEnter},
              .below = "[Left = Back] [Up/Down = Scroll] [Right = Show Albums]",
              .rows = {"All Albums", "Blues Albums", "Jazz Albums", "Rock Albums"}},
             {.keys = {kKeyDown, kKeyDown, kKeyRight, kKeyEnter},
              .title = "Jazz Albums by First Letter",
              .below = "[Left = Back] [Up/Down = Scroll] [Right = Show Albums]"},
             {.keys = {kKeyDown, kKeyRight, kKeyRight, kKeyEnter},
              .title = "Jazz Albums beginning with B",
              .below = "[Left = Back] [Up/Down = Scroll] [Enter/OK = Select/Deselect Album]",
              .rows = {"bee sides", "Blue Hour"}},
             {.keys = {kKeyLeft},
              .view = kViewLettersChoosing,
              .highlighted = "B",
              .check = Closed(&library::LibraryState::rsAlbums)},
             {.keys = {kKeyLeft}, .view = kViewAlbumGenresChoosing, .highlighted = "Jazz Albums"},
             {.check = [](Harness& h) { StepInto(h.jubo, kViewArtistGenresChoosing, ""); }},
             {.keys = {kKeyRight},
              .title = "All Artists by First Letter",
              .below = "[Left = Back] [Up/Down = Scroll] [Right = Show Artists]"},
             {.keys = {kKeyDown, kKeyDown, kKeyDown, kKeyRight, kKeyRight},
              .title = "All Artists beginning with O",
              .below = "[Left = Back] [Up/Down = Scroll] [Enter/OK = Select/Deselect Artist]",
              .rows = {"O'Dara", "Other Artist"}},
         });
  h.Run();
  EXPECT_EQ(h.jubo.playlist.SongCount, 0);
}

TEST(BrowseViewsTest, PagingFollowsOneRuleEverywhere) {
  // 27 index rows: every letter and "*".
  FixtureLibrary library;
  for (char c = 'A'; c <= 'Z'; ++c) library.Album(std::string(1, c) + " Album", "X", "Jazz", {"S"});
  library.Album("1 Album", "X", "Jazz", {"S"});
  Harness h(library);
  const std::string kPage1 = "Displaying 1 to 14 of 27 Items",
                    kPage2 = "Displaying 15 to 27 of 27 Items";
  Script(h, {
                {.keys = {kKeyEnter, kKeyRight}, .above = kPage1, .highlighted = "A"},
                {.keys = {kKeyPageDown},
                 .above = kPage2,
                 .rows = {"O", "P", "Q", "R", "S", "T", "U", "V", "W", "X", "Y", "Z", "*"}},
                // Page Down on the last page draws it again from its first row.
                {.keys = {kKeyDown, kKeyPageDown}, .above = kPage2, .highlighted = "O"},
                // Down onto the empty row is refused.
                {.keys = std::vector<int16_t>(12, kKeyDown), .highlighted = "*"},
                {.keys = {kKeyDown}, .highlighted = "*", .cues = {kError}},
                // Up from the first row of page 2 goes to the last row of page 1, and back down.
                {.keys = {kKeyPageUp, kKeyPageDown, kKeyUp}, .above = kPage1, .highlighted = "N"},
                {.keys = {kKeyDown}, .above = kPage2, .highlighted = "O"},
                // Page Up on page 1 goes to its first row; Up there is refused.
                {.keys = {kKeyUp, kKeyPageUp, kKeyPageUp, kKeyUp},
                 .highlighted = "A",
                 .cues = {kBeep, kBeep, kBeep, kError}},
            });
  h.Run();
}

// A list the library cannot give (the file gone since start-up) shows empty, with the error
// cue and one line on stderr: each step of the session that opens a view, made so. Enter on the
// empty list is refused with the error cue too (Right goes through the same check).
TEST(BrowseViewsTest, AListTheLibraryCannotGiveShowsEmptyWithTheErrorCue) {
  const std::vector<Step> session = Session();
  for (size_t last = 0; last < session.size(); ++last) {
    const std::vector<int16_t>& keys = session[last].keys;
    if (keys.back() != kKeyRight && keys.back() != kKeyEnter) continue;
    SCOPED_TRACE("step " + std::to_string(last + 1));
    Harness h(Library());
    TempDir empty;
    for (size_t i = 0; i < last; ++i) h.loop.Keys(session[i].keys);
    for (size_t i = 0; i + 1 < keys.size(); ++i) h.loop.Keys({keys[i]});
    h.loop
        .Then([&] {
          library::closealldatabases(h.jubo.library);
          ASSERT_TRUE(h.jubo.library.LibraryConnection
                          .Open(library::ConnectionString(empty.path().string()))
                          .ok());
          h.TakeCues();
          testing::internal::CaptureStderr();
        })
        .Keys({keys.back()})
        .Then([&] {
          const std::string err = testing::internal::GetCapturedStderr();
          EXPECT_EQ(h.jubo.screen.CurrentView, session[last].view);
          EXPECT_EQ(h.Rows(), std::vector<std::string>(14));
          EXPECT_EQ(h.TakeCues().back(), kError);
          EXPECT_EQ(err.rfind("jubo: cannot read the library: ", 0), 0u) << err;
          EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
          EXPECT_TRUE(
              h.jubo.screen.frmMain.lblHelpAbove.caption.starts_with("Displaying 0 to 0 of 0"));
        })
        .Keys({kKeyEnter})
        .Then([&] {
          EXPECT_EQ(h.TakeCues(), std::vector<std::string>{kError});
          EXPECT_FALSE(h.jubo.DialogOpen);
        });
    h.Run();
  }
}

TEST(TrackRowTextTest, NumbersAsNumbersAndNoNumberAsNone) {
  EXPECT_EQ(TrackRowText("03", "Intro", "X"), "3 Intro by X");
  EXPECT_EQ(TrackRowText("12", "Outro", "X"), "12 Outro by X");
  EXPECT_EQ(TrackRowText("", "Intro", "X"), "Intro by X");
  EXPECT_EQ(TrackRowText("3/12", "Intro", "X"), "Intro by X");
  EXPECT_EQ(TrackRowText("Bonus", "Intro", ""), "Intro by ");
}

}  // namespace
}  // namespace screen
