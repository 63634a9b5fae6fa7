// Now Playing and Playlist Control as a user meets them: the page that opens, paging, jumping,
// removing, the page following the song, and the ten commands.
#include <gtest/gtest.h>

#include <functional>

#include "ground/keys.h"
#include "playback/player_engine.h"
#include "support/session.h"

namespace screen {
namespace {

using namespace ground;
using namespace jubo_test;

FixtureLibrary Songs(int count) {
  std::vector<std::string> titles;
  for (int i = 1; i <= count; ++i) titles.push_back("Song " + std::to_string(i));
  FixtureLibrary library;
  library.Album("Long Album", "Artist", "Jazz", titles);
  return library;
}

int Marked(const Harness& h) {  // the row with the mark, 0 for none
  for (int row = 1; row <= h.jubo.screen.PageSize; ++row) {
    if (IconKind(h.jubo.screen.frmMain.imgIcon[static_cast<size_t>(row)]) == kIconSelected) {
      return row;
    }
  }
  return 0;
}

// Every song of the library in the playlist, entry `playing` (1-based) chosen, then stopped
// (cues sound only while no music plays), and Now Playing open.
void OpenOn(Harness& h, int playing) {
  h.loop.Then([&h] { h.AddSongs(static_cast<int>(h.songs.size())); });
  h.loop.Keys(KeyOf('N'), playing - 1).Wait(100).Keys({KeyOf('S'), KeyOf('M'), kKeyEnter});
}

// Its rows move as every list's do (BrowseViewsTest.PagingFollowsOneRuleEverywhere); Enter's jump
// is the remote playlist session's.
TEST(NowPlayingTest, OpensOnTheCurrentSongsPageAndPagesQuietly) {
  Harness h(Songs(37));
  OpenOn(h, 16);
  Script(h,
         {
             {.view = kViewNowPlaying,
              .above = "Displaying 15 to 28 of 37 Songs",
              .below = "[Left = Back] [Up/Down = Scroll] [Enter/OK = Jump to Song] [Right = Remove "
                       "Song]",
              .highlighted = "15. Song 15 by Artist",
              .check = [](Harness& h) { EXPECT_EQ(Marked(h), 2); }},
             // Page Down on the last page draws it again from its first row, without a cue.
             {.keys = {kKeyPageDown, kKeyDown, kKeyPageDown},
              .above = "Displaying 29 to 37 of 37 Songs",
              .highlighted = "29. Song 29 by Artist",
              .cues = {kBeep}},
         });
  h.Run();
}

TEST(NowPlayingTest, RemovingAnEntry) {
  struct Case {
    int count, playing, removed;  // 1-based entries
    int now_playing;              // the entry marked afterwards, 1-based; 0 for the Main Menu
    int now_file;                 // the song (0-based in the library) the player holds
  };
  const Case kCases[] = {
      // Which song plays on is the engine's (PlaylistEditTest); here, what the view shows.
      {9, 5, 3, 4, 4},  // an earlier entry: the mark moves up with the song
      {9, 5, 5, 5, 5},  // the playing entry: the next song moves up and starts
      {1, 1, 1, 0, 0},  // the only entry: back to the Main Menu
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::to_string(c.removed) + " of " + std::to_string(c.count));
    Harness h(Songs(c.count));
    OpenOn(h, c.playing);
    Script(h, {{.keys = std::vector<int16_t>(static_cast<size_t>(c.removed - 1), kKeyDown)},
               {.keys = {kKeyRight}, .question = "Remove Track?\n"},
               {.keys = {kKeyRight, kKeyEnter},
                .wait_ms = 100,
                .view = c.now_playing == 0 ? kViewMainMenu : kViewNowPlaying,
                .check = [&c](Harness& h) {
                  EXPECT_EQ(h.jubo.playlist.SongCount, c.count - 1);
                  EXPECT_EQ(h.player.URL(), h.songs[static_cast<size_t>(c.now_file)].filename);
                  EXPECT_EQ(Marked(h), c.now_playing);
                  EXPECT_EQ(h.player.playState(), c.removed == c.playing && c.count > 1
                                                      ? playback::kPlaying
                                                      : playback::kStopped);
                }}});
    h.Run();
  }
}

// Each way the current song can move while the list shows: the page it lands on, the row
// highlighted, the row marked (37 songs, 14 a page).
TEST(NowPlayingTest, ThePageFollowsTheSongAlsoUnderTheSaver) {
  struct Case {
    std::string name;
    int playing;  // 1-based, before
    int down;     // rows the highlight moved down before
    void (*move)(playback::PlayerContext&);
    std::string above;
    int row, marked;
    bool under_saver = false;
  };
  const Case kCases[] = {
      {"onto the next page", 14, 0, playback::NextSong, "Displaying 15 to 28 of 37 Songs", 1, 1},
      {"back onto the previous page", 15, 3, playback::PreviousSong,
       "Displaying 1 to 14 of 37 Songs", 14, 14},
      {"wrapping to the first", 37, 0, playback::NextSong, "Displaying 1 to 14 of 37 Songs", 1, 1,
       true},
      {"wrapping to the last", 1, 0, playback::PreviousSong, "Displaying 29 to 37 of 37 Songs", 9,
       9},
      {"on the same page", 3, 4, playback::NextSong, "Displaying 1 to 14 of 37 Songs", 5, 4},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Harness h(Songs(37));
    OpenOn(h, c.playing);
    h.loop.Keys(kKeyDown, c.down).Then([&] {
      if (c.under_saver) {
        h.jubo.screen.ViewUnderSaver = kViewNowPlaying;
        h.jubo.screen.CurrentView = kViewSaver;
      }
      c.move(h.jubo);
    });
    h.loop.Wait(100).Then([&] {
      EXPECT_EQ(h.jubo.screen.frmMain.lblHelpAbove.caption, c.above);
      EXPECT_EQ(h.jubo.screen.CurrentRow, c.row);
      EXPECT_EQ(Marked(h), c.marked);
    });
    h.Run();
  }
}

// Each row runs its own command (the cases are the rows, in order), on a playlist of three songs
// playing the second 30 s in; some cases go on with steps of their own.
TEST(PlaylistControlTest, EachRowRunsItsOwnCommand) {
  struct Case {
    std::string row;
    int32_t song = 1;  // the entry chosen afterwards
    int state = playback::kPlaying;
    double position = 30;
    std::string question = "";  // asked (and answered No)
    std::function<void(Harness&)> check = nullptr;
    std::vector<Step> then{};
  };
  const Case kCases[] = {
      // Left gives the Main Menu its row back.
      {.row = "Stop",
       .state = playback::kStopped,
       .position = 0,
       .then = {{.keys = {kKeyLeft}, .view = kViewMainMenu, .highlighted = "Playlist Control"}}},
      {.row = "Play/Pause", .state = playback::kPaused},
      {.row = "Next Song", .song = 2, .position = 0},
      {.row = "Previous Song", .song = 0, .position = 0},
      {.row = "Fast Forward", .state = playback::kFastForward, .position = 30.4},  // 5x for 0.1 s
      {.row = "Skip back 10 seconds", .position = 20},
      {.row = "Shuffle Playlist", .question = "Shuffle\nPlaylist?"},
      // Clear answered No leaves for the Main Menu, on its first row, one crumb deep again.
      {.row = "Clear Playlist",
       .question = "Clear Playlist?\n",
       .then = {{.view = kViewMainMenu, .highlighted = "Now Playing"},
                {.keys = {kKeyDown, kKeyEnter}, .crumbs = "Main Menu>"}}},
      // L names the new state in the row at once, as Enter on the row does.
      {.row = "Turn ON Playlist Repeat",
       .check = [](Harness& h) { EXPECT_EQ(h.jubo.settings.PlaylistLoop, 1); },
       .then = {{.highlighted = "Turn OFF Playlist Repeat"},
                {.keys = {KeyOf('L')}, .highlighted = "Turn ON Playlist Repeat"}}},
      // The last row; Down is refused below it.
      {.row = "Start Screensaver now",
       .check = [](Harness& h) { EXPECT_EQ(h.jubo.IdleSeconds, 5 * 60 + 1); },
       .then = {{.keys = {kKeyDown}, .highlighted = "Start Screensaver now"}}},
  };
  for (size_t down = 0; down < std::size(kCases); ++down) {
    const Case& c = kCases[down];
    SCOPED_TRACE(c.row);
    Harness h(Songs(3));
    h.loop.Then([&] {
      h.jubo.settings.ScreensaverTimeout = 5;
      h.AddSongs(3);
    });
    h.loop.Wait(100).Keys({KeyOf('N')}).Wait(30'000);
    std::vector<Step> steps = {{.keys = {KeyOf('M'), kKeyDown, kKeyEnter}, .crumbs = "Main Menu>"},
                               {.keys = std::vector<int16_t>(down, kKeyDown), .highlighted = c.row},
                               {.keys = {kKeyEnter}, .question = c.question}};
    if (!c.question.empty()) steps.push_back({.keys = {kKeyEnter}});  // No
    steps.push_back({.wait_ms = 100, .check = [&c](Harness& h) {
                       EXPECT_EQ(h.jubo.playlist.CurrentSong, c.song);
                       EXPECT_EQ(h.player.playState(), c.state);
                       EXPECT_NEAR(h.player.currentPosition(), c.position, 0.1);
                       if (c.check) c.check(h);
                     }});
    steps.insert(steps.end(), c.then.begin(), c.then.end());
    Script(h, steps);
    h.Run();
  }
}

// Cleared with C while the menu shows, the playlist has nothing left to play: no row brings the
// cleared song back.
TEST(PlaylistControlTest, AfterClearNoRowPlaysAnything) {
  Harness h(Songs(3));
  h.loop.Then([&] { h.AddSongs(3); });
  h.loop.Wait(100).Keys({KeyOf('M'), kKeyDown, kKeyEnter, KeyOf('C'), kKeyLeft, kKeyEnter});
  // Every transport row, from Stop down to Skip back, each pressed in turn.
  for (int row = 1; row <= 6; ++row) {
    h.loop.Keys({kKeyEnter, kKeyDown}).Wait(100).Then([&h, row] {
      EXPECT_EQ(h.jubo.playlist.SongCount, 0);
      EXPECT_EQ(h.player.playState(), playback::kStopped) << "row " << row;
    });
  }
  h.Run();
}

}  // namespace
}  // namespace screen
