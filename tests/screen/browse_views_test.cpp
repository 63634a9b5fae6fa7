// Browsing the library through the views, as a user does with the remote: genres, the letter
// index, album and artist lists, an album's songs, and back out again.
#include <gtest/gtest.h>

#include <algorithm>

#include "ground/keys.h"
#include "library/library_connection.h"
#include "screen/track_list.h"
#include "support/harness.h"

namespace screen {
namespace {

using ground::kKeyDown;
using ground::kKeyEnter;
using ground::kKeyLeft;
using ground::kKeyPageDown;
using ground::kKeyPageUp;
using ground::kKeyRight;
using ground::kKeyUp;
using jubo_test::FixtureLibrary;
using jubo_test::Harness;
using jubo_test::kBeep;
using jubo_test::kError;

// The first `n` rows of the page, then empty ones up to 14.
std::vector<std::string> Page(std::vector<std::string> rows) {
  rows.resize(14);
  return rows;
}

const std::string& Above(const Harness& h) { return h.jubo.screen.frmMain.lblHelpAbove.caption; }
const std::string& Title(const Harness& h) { return h.jubo.screen.frmMain.lblTitle.caption; }

FixtureLibrary LettersLibrary() {
  FixtureLibrary library;
  for (const char* album :
       {"10 Rivers", "amber gold", "Blue Hour", "bee sides", "Zephyr Road", "Élan"}) {
    library.Album(album, "O'Dara", "Jazz", {"Song"});
  }
  library.Album("Rock One", "Rocker", "Rock", {"Loud"});
  library.Album("Blues One", "Bluesman", "Blues", {"Sad"});
  library.Song({"Untagged", "Nobody", "Quiet", "1", "/music/untagged.ogg", "", ""});
  return library;
}

TEST(BrowseViewsTest, GenresLettersAndTheWayBack) {
  Harness h(LettersLibrary());
  h.loop
      .Keys({kKeyEnter})  // Select Songs by Album
      .Then([&] {
        EXPECT_EQ(h.jubo.screen.CurrentView, kViewAlbumGenres);
        EXPECT_EQ(Title(h), "Select Albums");
        EXPECT_EQ(h.jubo.screen.frmMain.lblCrumbs.caption, "Main Menu>");
        // Songs without a genre make no row.
        EXPECT_EQ(h.Rows(), Page({"All Albums", "Blues Albums", "Jazz Albums", "Rock Albums"}));
        EXPECT_EQ(Above(h), "Displaying 1 to 4 of 4 Items");
        EXPECT_EQ(h.jubo.screen.frmMain.lblHelpBelow.caption,
                  "[Left = Back] [Up/Down = Scroll] [Right = Show Albums] [Enter/OK = Add to "
                  "Playlist]");
        EXPECT_EQ(IconKind(h.jubo.screen.frmMain.imgIcon[1]), kIconMultiCD);
        h.TakeCues();
      })
      .Keys({kKeyDown, kKeyDown, kKeyRight})  // Jazz Albums
      .Then([&] {
        EXPECT_EQ(h.jubo.library.AlbumGenre, "Jazz");
        EXPECT_EQ(h.jubo.library.ArtistGenre, "All");  // the other hierarchy keeps its filter
        EXPECT_EQ(h.jubo.screen.CurrentView, kViewLetters);
        EXPECT_EQ(Title(h), "Jazz Albums by First Letter");
        // Letters in the order their names first come, lower-case names folded in, "*" last.
        EXPECT_EQ(h.Rows(), Page({"A", "B", "Z", "*"}));
        EXPECT_EQ(Above(h), "Displaying 1 to 4 of 4 Items");
        EXPECT_EQ(h.jubo.screen.frmMain.shpHighlight.width, 600);  // narrow on the index
      })
      .Keys({kKeyDown, kKeyRight})  // B
      .Then([&] {
        EXPECT_EQ(h.jubo.screen.CurrentView, kViewAlbums);
        EXPECT_EQ(Title(h), "Jazz Albums beginning with B");
        EXPECT_EQ(h.Rows(), Page({"bee sides", "Blue Hour"}));
        EXPECT_EQ(Above(h), "Displaying 1 to 2 of 2 Albums");
        EXPECT_EQ(IconKind(h.jubo.screen.frmMain.imgIcon[1]), kIconSingleCD);
        EXPECT_EQ(h.jubo.screen.frmMain.lblCrumbs.caption,
                  "Main Menu>Select Albums>Jazz Albums by First Letter>");
      })
      .Keys({kKeyLeft})
      .Then([&] {
        EXPECT_EQ(h.jubo.screen.CurrentView, kViewLetters);
        EXPECT_EQ(h.HighlightedRow(), "B");  // the row the user left
        EXPECT_EQ(h.jubo.library.rsAlbums.State(), textdb::Cursor::kStateClosed);
      })
      .Keys({kKeyDown, kKeyDown, kKeyRight})  // "*"
      .Then([&] {
        EXPECT_EQ(Title(h), "Jazz Albums beginning with *");
        EXPECT_EQ(h.Rows(), Page({"10 Rivers", "Élan"}));
      })
      .Keys({kKeyLeft, kKeyLeft})
      .Then([&] {
        EXPECT_EQ(h.jubo.screen.CurrentView, kViewAlbumGenres);
        EXPECT_EQ(h.HighlightedRow(), "Jazz Albums");
      })
      .Keys({kKeyLeft})
      .Then([&] {
        EXPECT_EQ(h.jubo.screen.CurrentView, kViewMainMenu);
        EXPECT_EQ(h.HighlightedRow(), "Select Songs by Album");
        EXPECT_EQ(h.jubo.screen.CrumbDepth, 1);
      });
  h.Run();
}

TEST(BrowseViewsTest, PagingFollowsOneRuleEverywhere) {
  // 27 index rows: every letter and "*".
  FixtureLibrary library;
  for (char c = 'A'; c <= 'Z'; ++c) library.Album(std::string(1, c) + " Album", "X", "Jazz", {"S"});
  library.Album("1 Album", "X", "Jazz", {"S"});
  Harness h(library);
  h.loop.Keys({kKeyEnter, kKeyRight})
      .Then([&] {
        EXPECT_EQ(Above(h), "Displaying 1 to 14 of 27 Items");
        h.TakeCues();
      })
      .Keys({kKeyPageDown})
      .Then([&] {
        EXPECT_EQ(Above(h), "Displaying 15 to 27 of 27 Items");
        std::vector<std::string> rows = h.Rows();
        EXPECT_EQ(rows[12], "*");
        EXPECT_EQ(rows[13], "");
      })
      // Page Down on the last page draws it again from its first row.
      .Keys({kKeyDown, kKeyPageDown})
      .Then([&] {
        EXPECT_EQ(Above(h), "Displaying 15 to 27 of 27 Items");
        EXPECT_EQ(h.jubo.screen.CurrentRow, 1);
        h.TakeCues();
      })
      // Down onto the empty row is refused.
      .Keys({kKeyPageUp, kKeyPageDown})
      .Keys(kKeyDown, 12)
      .Then([&] {
        EXPECT_EQ(h.HighlightedRow(), "*");
        h.TakeCues();
      })
      .Keys({kKeyDown})
      .Then([&] {
        EXPECT_EQ(h.HighlightedRow(), "*");
        EXPECT_EQ(h.TakeCues(), std::vector<std::string>{kError});
      })
      // Up from the first row of page 2 goes to the last row of page 1.
      .Keys({kKeyPageUp, kKeyPageDown, kKeyUp})
      .Then([&] {
        EXPECT_EQ(Above(h), "Displaying 1 to 14 of 27 Items");
        EXPECT_EQ(h.jubo.screen.CurrentRow, 14);
        EXPECT_EQ(h.HighlightedRow(), "N");
      })
      // Down from the last row of a full page goes to the next page's first row.
      .Keys({kKeyDown})
      .Then([&] {
        EXPECT_EQ(Above(h), "Displaying 15 to 27 of 27 Items");
        EXPECT_EQ(h.HighlightedRow(), "O");
      })
      .Keys({kKeyUp})
      // Page Up on page 1 draws nothing and goes to the first row; Up there is refused.
      .Keys({kKeyPageUp, kKeyPageUp, kKeyUp})
      .Then([&] {
        EXPECT_EQ(h.jubo.screen.CurrentRow, 1);
        EXPECT_EQ(h.TakeCues().back(), kError);
      });
  h.Run();
}

TEST(BrowseViewsTest, ArtistsTheirAlbumsAndAnAlbumsSongs) {
  FixtureLibrary library;
  library
      .Album("Dara's Best", "O'Dara", "Jazz",
             {"Intro", "Two", "Three", "Four", "Five", "Six", "Seven", "Eight", "Nine", "Ten",
              "Eleven", "Outro"})
      .Album("Second", "O'Dara", "Jazz", {"A"})
      .Album("Other", "Other Artist", "Rock", {"B"});
  Harness h(library);
  h.loop
      .Keys({kKeyDown, kKeyEnter})  // Select Songs by Artist
      .Then([&] {
        EXPECT_EQ(h.jubo.screen.CurrentView, kViewArtistGenres);
        EXPECT_EQ(h.Rows(), Page({"All Artists", "Jazz Artists", "Rock Artists"}));
      })
      .Keys({kKeyRight})
      .Then([&] { EXPECT_EQ(Title(h), "All Artists by First Letter"); })
      .Keys({kKeyRight})  // O
      .Then([&] {
        EXPECT_EQ(Title(h), "All Artists beginning with O");
        EXPECT_EQ(h.Rows(), Page({"O'Dara", "Other Artist"}));
        EXPECT_EQ(Above(h), "Displaying 1 to 2 of 2 Artists");
      })
      .Keys({kKeyRight})
      .Then([&] {
        EXPECT_EQ(h.jubo.screen.CurrentView, kViewArtistAlbums);
        EXPECT_EQ(h.jubo.library.SelectedArtist, "O''Dara");
        EXPECT_EQ(Title(h), "O'Dara Albums");
        EXPECT_EQ(h.Rows(), Page({"Dara's Best", "Second"}));
      })
      .Keys({kKeyRight})
      .Then([&] {
        EXPECT_EQ(h.jubo.screen.CurrentView, kViewTracks);
        EXPECT_EQ(Title(h), "Dara's Best");
        std::vector<std::string> rows = h.Rows();
        EXPECT_EQ(rows[0], "1 Intro by O'Dara");
        EXPECT_EQ(rows[11], "12 Outro by O'Dara");
        EXPECT_EQ(Above(h), "Displaying 1 to 12 of 12 Tracks");
        EXPECT_EQ(IconKind(h.jubo.screen.frmMain.imgIcon[1]), kIconTrack);
        EXPECT_EQ(h.jubo.screen.frmMain.lblHelpBelow.caption,
                  "[Left = Back] [Up/Down = Scroll] [Enter/OK = Add to/Remove from Playlist]");
      })
      // The same album again: its quote is escaped afresh each time, never twice.
      .Keys({kKeyLeft, kKeyRight})
      .Then([&] { EXPECT_EQ(h.jubo.library.rsTracks.RecordCount(), 12); })
      .Keys({kKeyLeft})
      .Then([&] {
        EXPECT_EQ(h.jubo.screen.CurrentView, kViewArtistAlbums);
        EXPECT_EQ(Title(h), "O'Dara Albums");
      })
      .Keys({kKeyLeft})
      .Then([&] {
        EXPECT_EQ(h.jubo.screen.CurrentView, kViewArtists);
        EXPECT_EQ(h.HighlightedRow(), "O'Dara");
      })
      .Keys({ground::KeyOf('M')})
      .Then([&] {
        EXPECT_EQ(h.jubo.screen.CurrentView, kViewMainMenu);
        EXPECT_EQ(h.jubo.library.rsArtists.State(), textdb::Cursor::kStateClosed);
      });
  h.Run();
}

// The highlight always takes the shape of the view it lands on: M from any view gives the Main
// Menu's own (as at start-up), and Left gives each view back its own, on the row the user left.
TEST(BrowseViewsTest, TheHighlightIsTheViewsOwnAfterMAndAfterLeft) {
  struct Case {
    std::vector<int16_t> keys;  // from the Main Menu
    ViewCode view;
  };
  const Case cases[] = {
      {{kKeyEnter}, kViewAlbumGenres},
      {{kKeyDown, kKeyEnter}, kViewArtistGenres},
      {{kKeyEnter, kKeyRight}, kViewLetters},
      {{kKeyEnter, kKeyDown, kKeyDown, kKeyRight, kKeyDown, kKeyRight}, kViewAlbums},
      {{kKeyEnter, kKeyDown, kKeyDown, kKeyRight, kKeyDown, kKeyRight, kKeyDown, kKeyRight},
       kViewTracks},
      {{kKeyDown, kKeyEnter, kKeyRight, kKeyDown, kKeyRight}, kViewArtists},
      {{kKeyDown, kKeyEnter, kKeyRight, kKeyDown, kKeyRight, kKeyRight}, kViewArtistAlbums},
  };
  auto shape = [](const Harness& h) {
    const Frame& f = h.jubo.screen.frmMain.shpHighlight;
    return std::vector<int>{f.left, f.top, f.width, f.height};
  };
  for (const Case& c : cases) {
    Harness h(LettersLibrary());
    std::vector<int> at_start;
    h.loop.Then([&] { at_start = shape(h); });
    for (int16_t key : c.keys) h.loop.Keys({key});
    h.loop.Then([&] { EXPECT_EQ(h.jubo.screen.CurrentView, c.view); });
    h.loop.Keys({ground::KeyOf('M')}).Then([&] {
      EXPECT_EQ(h.jubo.screen.CurrentView, kViewMainMenu) << c.view;
      EXPECT_EQ(shape(h), at_start) << c.view;
    });
    h.Run();
  }

  // Left from the tracks, the album list and the letter index.
  Harness h(LettersLibrary());
  int wide = 0;  // the list's width
  for (int16_t key : cases[4].keys) h.loop.Keys({key});
  h.loop.Then([&] { wide = h.jubo.screen.frmMain.shpHighlight.width; });
  const struct {
    ViewCode view;
    std::string row;
    int width;
  } back[] = {{kViewAlbums, "Blue Hour", 0},
              {kViewLetters, "B", 600},
              {kViewAlbumGenres, "Jazz Albums", 0}};
  for (const auto& b : back) {
    h.loop.Keys({kKeyLeft}).Then([&] {
      EXPECT_EQ(h.jubo.screen.CurrentView, b.view);
      EXPECT_EQ(h.HighlightedRow(), b.row) << b.view;
      EXPECT_EQ(h.jubo.screen.frmMain.shpHighlight.width, b.width != 0 ? b.width : wide) << b.view;
      EXPECT_EQ(h.jubo.screen.frmMain.shpHighlight.top,
                h.jubo.screen.frmMain.lblItem[static_cast<size_t>(h.jubo.screen.CurrentRow)].top)
          << b.view;
    });
  }
  h.Run();
}

// A list the library cannot give (the file gone since start-up) shows empty, with the error
// cue and one line on stderr, in every view that opens a cursor.
TEST(BrowseViewsTest, AListTheLibraryCannotGiveShowsEmptyWithTheErrorCue) {
  struct Case {
    std::vector<int16_t> keys_before;  // from the Main Menu, while the library reads
    ViewCode view;                     // the view Right (or Enter) opens after it is gone
  };
  const Case cases[] = {
      {{}, kViewAlbumGenres},                                           // album genres, by Enter
      {{kKeyEnter}, kViewLetters},                                      // the letter index
      {{kKeyEnter, kKeyRight}, kViewAlbums},                            // the albums of a letter
      {{kKeyEnter, kKeyRight, kKeyRight}, kViewTracks},                 // an album's tracks
      {{kKeyDown, kKeyEnter, kKeyRight}, kViewArtists},                 // the artists of a letter
      {{kKeyDown, kKeyEnter, kKeyRight, kKeyRight}, kViewArtistAlbums}  // an artist's albums
  };
  for (const Case& c : cases) {
    Harness h;
    jubo_test::TempDir empty;
    for (int16_t key : c.keys_before) h.loop.Keys({key});
    h.loop
        .Then([&] {
          library::closealldatabases(h.jubo.library);
          ASSERT_TRUE(h.jubo.library.LibraryConnection
                          .Open(library::ConnectionString(empty.path().string()))
                          .ok());
          h.TakeCues();
          testing::internal::CaptureStderr();
        })
        .Keys({c.keys_before.empty() ? kKeyEnter : kKeyRight})
        .Then([&] {
          const std::string err = testing::internal::GetCapturedStderr();
          EXPECT_EQ(h.jubo.screen.CurrentView, c.view);
          EXPECT_EQ(h.Rows(), Page({})) << c.view;
          EXPECT_EQ(h.TakeCues().back(), kError) << c.view;
          EXPECT_EQ(err.rfind("jubo: cannot read the library: ", 0), 0u) << err;
          EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
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
