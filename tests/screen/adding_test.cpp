// Putting music into the playlist from the browse views: the questions, what each Enter adds
// and in which order, the track list's toggle, and playback starting when nothing had been
// chosen to play.
#include "screen/adding.h"

#include <gtest/gtest.h>

#include "ground/keys.h"
#include "support/harness.h"

namespace screen {
namespace {

using ground::kKeyDown;
using ground::kKeyEnter;
using ground::kKeyLeft;
using ground::kKeyRight;
using jubo_test::FixtureLibrary;
using jubo_test::Harness;

std::vector<std::string> Entries(const Harness& h) {
  std::vector<std::string> entries;
  for (int32_t i = 0; i < h.jubo.playlist.SongCount; ++i) {
    entries.push_back(h.jubo.playlist.Playlist[static_cast<size_t>(i)].text());
  }
  return entries;
}

FixtureLibrary TwoAlbums() {
  FixtureLibrary library;
  library.Album("Zed Album", "Zed", "Rock", {"Z1", "Z2"})
      .Album("Blue Hour", "O'Dara", "Jazz", {"Intro", "Night", "Outro"});
  return library;
}

TEST(AddingTest, AllAlbumsAddsEverySongByAlbumAndTrackAndStartsTheFirst) {
  Harness h(TwoAlbums());
  h.loop.Keys({kKeyEnter}).Then([&] { h.TakeCues(); });
  h.loop
      .Keys({kKeyEnter})  // Enter on "All Albums"
      .Then([&] {
        EXPECT_EQ(h.jubo.dialogs.frmConfirm.lblTitle.caption, "Add selection");
        EXPECT_EQ(h.jubo.dialogs.frmConfirm.lblTitle2.caption, "to Playlist?");
        EXPECT_EQ(h.TakeCues(), std::vector<std::string>{jubo_test::kSelect});
      })
      .Keys({kKeyEnter})  // No
      .Then([&] {
        EXPECT_EQ(h.jubo.playlist.SongCount, 0);
        EXPECT_EQ(h.TakeCues(), std::vector<std::string>{jubo_test::kBeep});
        EXPECT_EQ(h.jubo.screen.CurrentView, kViewAlbumGenres);
      })
      .Keys({kKeyEnter, kKeyRight, kKeyEnter})  // Yes
      .Wait(100)
      .Then([&] {
        EXPECT_EQ(Entries(h),
                  (std::vector<std::string>{"Intro by O'Dara", "Night by O'Dara", "Outro by O'Dara",
                                            "Z1 by Zed", "Z2 by Zed"}));
        EXPECT_EQ(h.jubo.playlist.CurrentSong, 0);
        EXPECT_EQ(h.player.URL(), "/music/O'Dara/Blue Hour/01.ogg");
        EXPECT_EQ(h.player.playState(), playback::kPlaying);
        EXPECT_EQ(h.jubo.library.rsAddSongs.State(), textdb::Cursor::kStateClosed);
        // The view and the highlight stay as they were.
        EXPECT_EQ(h.jubo.screen.CurrentView, kViewAlbumGenres);
        EXPECT_EQ(h.jubo.screen.CurrentRow, 1);
      });
  h.Run();
}

TEST(AddingTest, AnAlbumTwiceGivesEachSongTwiceAndTheTrackListShowsTheFirstPlace) {
  Harness h(TwoAlbums());
  // Album hierarchy, Jazz, B, Blue Hour: add it twice, then look at its songs.
  h.loop.Keys({kKeyEnter, kKeyDown, kKeyRight, kKeyRight});
  h.loop.Keys({kKeyEnter, kKeyRight, kKeyEnter, kKeyEnter, kKeyRight, kKeyEnter}).Then([&] {
    EXPECT_EQ(h.jubo.playlist.SongCount, 6);
    EXPECT_EQ(Entries(h)[3], "Intro by O'Dara");
  });
  h.loop.Keys({kKeyRight}).Then([&] {
    EXPECT_EQ(h.jubo.screen.frmMain.lblTitle.caption, "Blue Hour");
    std::vector<std::string> rows = h.Rows();
    EXPECT_EQ(rows[0], "1 Intro by O'Dara (1)");
    EXPECT_EQ(rows[2], "3 Outro by O'Dara (3)");
    EXPECT_EQ(IconKind(h.jubo.screen.frmMain.imgIcon[1]), kIconSelected);
  });
  h.Run();
}

TEST(AddingTest, TheTrackListTogglesASongAndStartsItWhenTheListWasEmpty) {
  Harness h(TwoAlbums());
  h.loop.Keys({kKeyEnter, kKeyDown, kKeyRight, kKeyRight, kKeyRight});  // Blue Hour's songs
  h.loop.Then([&] { h.TakeCues(); });
  h.loop.Keys({kKeyDown, kKeyEnter})
      .Then([&] {
        EXPECT_EQ(Entries(h), std::vector<std::string>{"Night by O'Dara"});
        EXPECT_EQ(h.jubo.playlist.CurrentSong, 0);
        EXPECT_EQ(h.player.URL(), "/music/O'Dara/Blue Hour/02.ogg");
        EXPECT_EQ(h.Rows()[1], "2 Night by O'Dara (1)");
        EXPECT_EQ(IconKind(h.jubo.screen.frmMain.imgIcon[2]), kIconSelected);
        EXPECT_EQ(h.jubo.screen.CurrentRow, 2);  // the highlight stays on the row
        // The select cue sounds before the song starts; cues are silent only while it plays.
        EXPECT_EQ(h.TakeCues(), (std::vector<std::string>{jubo_test::kBeep, jubo_test::kSelect}));
      })
      .Keys({kKeyDown, kKeyEnter})
      .Then([&] {
        EXPECT_EQ(h.jubo.playlist.SongCount, 2);
        EXPECT_EQ(h.Rows()[2], "3 Outro by O'Dara (2)");
      })
      // Taking a song out takes its mark and place off the row.
      .Keys({ground::kKeyUp, kKeyEnter})
      .Then([&] {
        EXPECT_EQ(Entries(h), std::vector<std::string>{"Outro by O'Dara"});
        EXPECT_EQ(h.Rows()[1], "2 Night by O'Dara");
        EXPECT_EQ(h.Rows()[2], "3 Outro by O'Dara (1)");
        EXPECT_EQ(IconKind(h.jubo.screen.frmMain.imgIcon[2]), kIconTrack);
      });
  h.Run();
}

TEST(AddingTest, AShortenedRowStillAddsItsFullNameAndTheSuffixTakesTheEnd) {
  const std::string kLong =
      "Bach Complete Organ Works Played On Historic Instruments Of The North German Baroque Vol 1";
  FixtureLibrary library;
  library.Album(kLong, "Organist", "Classical",
                {"Toccata and Fugue in D minor BWV 565 as played on the great organ of the abbey"});
  Harness h(library);
  h.loop.Keys({kKeyEnter, kKeyRight, kKeyRight})
      .Then([&] {
        const std::string caption = h.Rows()[0];
        EXPECT_NE(caption, kLong);
        EXPECT_EQ(caption.substr(caption.size() - 3), "...");
        EXPECT_EQ(h.jubo.screen.frmMain.lblItem[1].tag, kLong);
      })
      .Keys({kKeyEnter, kKeyRight, kKeyEnter})
      .Then([&] { EXPECT_EQ(h.jubo.playlist.SongCount, 1); })
      .Keys({kKeyRight})
      .Then([&] {
        const std::string row = h.Rows()[0];
        EXPECT_EQ(row.substr(row.size() - 7), "... (1)") << row;
        EXPECT_LE(h.measure.WidthTwips(row, 16, false), h.jubo.screen.frmMain.lblItem[0].width);
      });
  h.Run();
}

TEST(AddingTest, EmptyListsRefuseRightAndEnter) {
  FixtureLibrary library;
  library.Song({"", "Nobody", "Untitled", "1", "/music/x.ogg", "Jazz", ""});
  Harness h(library);
  h.loop.Keys({kKeyEnter, kKeyRight})
      .Then([&] {
        EXPECT_EQ(h.jubo.screen.CurrentView, kViewLetters);
        EXPECT_EQ(h.jubo.screen.frmMain.lblHelpAbove.caption, "Displaying 0 to 0 of 0 Items");
        h.TakeCues();
      })
      .Keys({kKeyRight, kKeyEnter})
      .Then([&] {
        EXPECT_EQ(h.jubo.screen.CurrentView, kViewLetters);
        EXPECT_EQ(h.TakeCues(), (std::vector<std::string>{jubo_test::kError, jubo_test::kError}));
        EXPECT_FALSE(h.jubo.dialogs.DialogOpen);
      })
      .Keys({kKeyLeft});
  h.Run();
}

}  // namespace
}  // namespace screen
