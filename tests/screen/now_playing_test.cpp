// Now Playing and Playlist Control as a user meets them: the page that opens, paging, jumping,
// removing, the page following the song, and the ten commands.
#include "screen/now_playing.h"

#include <gtest/gtest.h>

#include "ground/keys.h"
#include "playback/player_engine.h"
#include "playback/playlist_edit.h"
#include "support/harness.h"

namespace screen {
namespace {

using ground::kKeyDown;
using ground::kKeyEnter;
using ground::kKeyLeft;
using ground::kKeyPageDown;
using ground::kKeyRight;
using ground::kKeyUp;
using jubo_test::FixtureLibrary;
using jubo_test::Harness;
using jubo_test::kBeep;
using jubo_test::kError;

FixtureLibrary Songs(int count) {
  std::vector<std::string> titles;
  for (int i = 1; i <= count; ++i) titles.push_back("Song " + std::to_string(i));
  FixtureLibrary library;
  library.Album("Long Album", "Artist", "Jazz", titles);
  return library;
}

const std::string& Above(const Harness& h) { return h.jubo.screen.frmMain.lblHelpAbove.caption; }
int Marked(const Harness& h) {  // the row with the mark, 0 for none
  for (int row = 1; row <= h.jubo.screen.PageSize; ++row) {
    if (IconKind(h.jubo.screen.frmMain.imgIcon[static_cast<size_t>(row)]) == kIconSelected) {
      return row;
    }
  }
  return 0;
}

// `count` songs in the playlist, entry `playing` (1-based) playing, Now Playing open.
void OpenOn(Harness& h, int count, int playing, int16_t page_size = 14) {
  h.loop.Then([&h, count, playing, page_size] {
    h.jubo.screen.PageSize = page_size;
    h.AddSongs(count);
    h.jubo.playlist.CurrentSong = playing - 1;
    playback::PlaySong(h.jubo, playing - 1);
  });
  // Stopped, once open: cues sound only while no music plays.
  h.loop.Wait(100).Keys({ground::KeyOf('S'), ground::KeyOf('M'), kKeyEnter}).Then([&h] {
    EXPECT_EQ(h.jubo.screen.CurrentView, kViewNowPlaying);
    h.TakeCues();
  });
}

TEST(NowPlayingTest, OpensOnTheCurrentSongsPageAndPagesQuietly) {
  Harness h(Songs(37));
  OpenOn(h, 37, 16, 10);
  h.loop
      .Then([&] {
        EXPECT_EQ(Above(h), "Displaying 11 to 20 of 37 Songs");
        EXPECT_EQ(h.Rows()[0], "11. Song 11 by Artist");
        EXPECT_EQ(Marked(h), 6);
        EXPECT_EQ(h.jubo.screen.CurrentRow, 1);
        EXPECT_EQ(h.jubo.screen.frmMain.lblHelpBelow.caption,
                  "[Left = Back] [Up/Down = Scroll] [Enter/OK = Jump to Song] [Right = Remove "
                  "Song]");
      })
      .Keys({kKeyPageDown, kKeyPageDown, kKeyDown, kKeyPageDown})
      .Then([&] {
        // Page Down on the last page draws it again from its first row, without a cue.
        EXPECT_EQ(Above(h), "Displaying 31 to 37 of 37 Songs");
        EXPECT_EQ(h.jubo.screen.CurrentRow, 1);
        EXPECT_EQ(h.TakeCues(), std::vector<std::string>{kBeep});  // the Down only
      })
      .Keys(kKeyDown, 6)
      .Then([&] { h.TakeCues(); })
      .Keys({kKeyDown})
      .Then([&] {
        EXPECT_EQ(h.HighlightedRow(), "37. Song 37 by Artist");
        EXPECT_EQ(h.TakeCues(), std::vector<std::string>{kError});
      })
      // Enter jumps: the mark moves, the highlight stays.
      .Keys({kKeyEnter})
      .Then([&] {
        EXPECT_EQ(h.jubo.playlist.CurrentSong, 36);
        EXPECT_EQ(h.player.URL(), h.songs[36].filename);
        EXPECT_EQ(Marked(h), 7);
        EXPECT_EQ(h.jubo.screen.CurrentRow, 7);
      });
  h.Run();
}

TEST(NowPlayingTest, RemovingAnEntry) {
  struct Case {
    int count, playing, removed;  // 1-based entries
    int now_current;              // 0-based, afterwards
    int now_file;                 // the song (0-based in the library) the player holds
  };
  const Case kCases[] = {
      // Which song plays on is the engine's (PlaylistEditTest); here, what the view shows.
      {9, 5, 3, 3, 4},  // an earlier entry: the mark moves up with the song
      {9, 5, 5, 4, 5},  // the playing entry: the next song moves up and starts
      {1, 1, 1, 0, 0},  // the only entry: back to the Main Menu
  };
  for (const Case& c : kCases) {
    Harness h(Songs(9));
    OpenOn(h, c.count, c.playing);
    h.loop.Keys(kKeyDown, c.removed - 1).Keys({kKeyRight}).Then([&] {
      EXPECT_EQ(h.jubo.dialogs.frmConfirm.lblTitle.caption, "Remove Track?");
    });
    h.loop.Keys({kKeyRight, kKeyEnter}).Wait(100).Then([&] {
      const std::string label = std::to_string(c.removed) + " of " + std::to_string(c.count);
      EXPECT_EQ(h.jubo.playlist.SongCount, c.count - 1) << label;
      EXPECT_EQ(h.jubo.playlist.CurrentSong, c.now_current) << label;
      EXPECT_EQ(h.player.URL(), h.songs[static_cast<size_t>(c.now_file)].filename) << label;
      if (c.count == 1) {
        EXPECT_EQ(h.jubo.screen.CurrentView, kViewMainMenu);
        EXPECT_EQ(h.jubo.screen.CrumbDepth, 1);
        EXPECT_EQ(h.player.playState(), playback::kStopped);
      } else {
        EXPECT_EQ(Marked(h), c.now_current + 1) << label;
        EXPECT_EQ(h.player.playState(),
                  c.removed == c.playing ? playback::kPlaying : playback::kStopped)
            << label;
      }
    });
    h.Run();
  }
}

TEST(NowPlayingTest, ThePageFollowsTheSongAlsoUnderTheSaver) {
  Harness h(Songs(37));
  OpenOn(h, 37, 10, 10);
  h.loop.Then([&] { playback::NextSong(h.jubo); }).Wait(100).Then([&] {
    EXPECT_EQ(Above(h), "Displaying 11 to 20 of 37 Songs");
    EXPECT_EQ(h.jubo.screen.CurrentRow, 1);
    EXPECT_EQ(Marked(h), 1);
    h.jubo.screen.ViewUnderSaver = kViewNowPlaying;
    h.jubo.screen.CurrentView = kViewSaver;
    h.jubo.playlist.CurrentSong = 36;
    playback::NextSong(h.jubo);  // wraps to entry 1
  });
  h.loop.Wait(100).Then([&] {
    EXPECT_EQ(Above(h), "Displaying 1 to 10 of 37 Songs");
    EXPECT_EQ(Marked(h), 1);
    h.jubo.screen.CurrentView = kViewNowPlaying;
  });
  h.Run();
}

TEST(PlaylistControlTest, TheCommandsAndTheWayOut) {
  Harness h(Songs(3));
  h.loop.Then([&] { h.AddSongs(3); });
  h.loop.Keys({ground::KeyOf('M'), kKeyDown, kKeyEnter}).Then([&] {
    EXPECT_EQ(h.jubo.screen.CurrentView, kViewPlaylistControl);
    EXPECT_EQ(h.Rows()[8], "Turn ON Playlist Repeat");
    EXPECT_EQ(h.jubo.screen.frmMain.lblCrumbs.caption, "Main Menu>");
  });
  h.loop.Keys(kKeyDown, 8).Keys({kKeyEnter}).Then([&] {
    EXPECT_EQ(h.HighlightedRow(), "Turn OFF Playlist Repeat");
    EXPECT_EQ(h.jubo.settings.PlaylistLoop, 1);
  });
  h.loop.Keys({kKeyEnter}).Then([&] {
    EXPECT_EQ(h.HighlightedRow(), "Turn ON Playlist Repeat");
    EXPECT_EQ(h.jubo.settings.PlaylistLoop, 0);
    h.TakeCues();
  });
  // The last command; Down is refused below it.
  h.loop.Keys({kKeyDown, kKeyDown}).Then([&] {
    EXPECT_EQ(h.HighlightedRow(), "Start Screensaver now");
    EXPECT_EQ(h.TakeCues(), (std::vector<std::string>{kBeep, kError}));
    h.jubo.settings.ScreensaverTimeout = 5;
  });
  h.loop.Keys({kKeyEnter}).Then([&] { EXPECT_EQ(h.jubo.IdleSeconds, 301); });
  // Clear answered No: the playlist stays, the Main Menu shows its first row.
  h.loop.Keys({kKeyUp, kKeyUp, kKeyEnter, kKeyEnter}).Then([&] {
    EXPECT_EQ(h.jubo.playlist.SongCount, 3);
    EXPECT_EQ(h.jubo.screen.CurrentView, kViewMainMenu);
    EXPECT_EQ(h.jubo.screen.CrumbDepth, 1);
    EXPECT_EQ(h.HighlightedRow(), "Now Playing");
  });
  h.loop.Keys({kKeyDown, kKeyEnter, kKeyLeft}).Then([&] {
    EXPECT_EQ(h.HighlightedRow(), "Playlist Control");  // Left restores the Main Menu's row
  });
  h.Run();
}

}  // namespace
}  // namespace screen
