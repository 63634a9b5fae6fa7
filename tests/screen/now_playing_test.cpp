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
  return FixtureLibrary().Album("Long Album", "Artist", "Jazz", titles);
}

int Marked(const Harness& h) {  // the row with the mark, 0 for none
  const auto& icons = h.jubo.screen.frmMain.imgIcon;
  for (size_t row = 1; row < icons.size(); ++row) {
    if (IconKind(icons[row]) == kIconSelected) return static_cast<int>(row);
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

// Each way the current song or the list changes while Now Playing shows, with the page it lands
// on (14 rows a page), the row highlighted and the row marked: N, B, the next song while the saver
// shows, and an entry removed (Right, answered Yes), after which the list is drawn again from its
// first row. Which song plays on after a removal is the engine's (PlaylistEditTest).
TEST(NowPlayingTest, ThePageFollowsTheSongAndTheList) {
  struct Case {
    std::string name;
    int count, playing, down;   // songs, the entry chosen (1-based), rows the highlight moved down
    std::vector<int16_t> keys;  // none: the next song comes while the saver shows
    std::string above;          // the count line afterwards, "" once the Main Menu shows
    int row, marked;            // the row highlighted, and the row marked (0: none)
  };
  const int16_t N = KeyOf('N'), B = KeyOf('B');
  const std::vector<int16_t> kRemove = {kKeyRight, kKeyRight, kKeyEnter};
  const std::string kPage1 = "Displaying 1 to 14 of 37 Songs",
                    kOf8 = "Displaying 1 to 8 of 8 Songs";
  const Case kCases[] = {
      {"N onto the next page", 37, 14, 0, {N}, "Displaying 15 to 28 of 37 Songs", 1, 1},
      {"B back onto the previous page", 37, 15, 3, {B}, kPage1, 14, 14},
      {"wrapping to the first under the saver", 37, 37, 0, {}, kPage1, 1, 1},
      {"B wrapping to the last", 37, 1, 0, {B}, "Displaying 29 to 37 of 37 Songs", 9, 9},
      {"N on the same page", 37, 3, 4, {N}, kPage1, 5, 4},
      {"an earlier entry removed: the mark moves up with the song", 9, 5, 2, kRemove, kOf8, 1, 4},
      {"the playing entry removed: the next moves up", 9, 5, 4, kRemove, kOf8, 1, 5},
      {"the only entry removed: back to the Main Menu", 1, 1, 0, kRemove, "", 1, 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Harness h(Songs(c.count));
    OpenOn(h, c.playing);
    h.loop.Keys(kKeyDown, c.down).Then([&] {
      if (!c.keys.empty()) return;
      h.jubo.screen.ViewUnderSaver = kViewNowPlaying;
      h.jubo.screen.CurrentView = kViewSaver;
      playback::NextSong(h.jubo);
    });
    h.loop.Keys(c.keys).Wait(100).Then([&] {
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
      // Clear answered No leaves for the Main Menu, on its first row, one crumb deep again. Cleared
      // with C there (Yes), nothing is left to play: no row from Stop to Skip back, each pressed in
      // turn, brings the cleared song back.
      {.row = "Clear Playlist",
       .question = "Clear Playlist?\n",
       .then = {{.view = kViewMainMenu, .highlighted = "Now Playing"},
                {.keys = {kKeyDown, kKeyEnter}, .crumbs = "Main Menu>"},
                {.keys = {KeyOf('C'), kKeyLeft, kKeyEnter, kKeyEnter, kKeyDown, kKeyEnter, kKeyDown,
                          kKeyEnter, kKeyDown, kKeyEnter, kKeyDown, kKeyEnter, kKeyDown, kKeyEnter},
                 .wait_ms = 100,
                 .check =
                     [](Harness& h) {
                       EXPECT_EQ(h.jubo.playlist.SongCount, 0);
                       EXPECT_EQ(h.player.playState(), playback::kStopped);
                     }}}},
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

}  // namespace
}  // namespace screen
