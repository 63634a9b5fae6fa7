#include "screen/status_panel.h"

#include <gtest/gtest.h>

#include <string>

#include "ground/keys.h"
#include "playback/player_engine.h"
#include "support/harness.h"

namespace playback {
namespace {

using ground::KeyOf;
using jubo_test::FixtureLibrary;
using jubo_test::Harness;

TEST(StatusPanelTest, TheStateLineFollowsThePlayerEverySecond) {
  Harness h;
  const std::string& state = h.jubo.screen.frmMain.lblState.caption;
  h.loop.Then([&] { h.AddSongs(3); });
  h.loop.Wait(1000).Then([&] { EXPECT_EQ(state, "Playing 00:00 of 03:00"); });
  h.loop.Wait(60000).Then([&] { EXPECT_EQ(state, "Playing 01:00 of 03:00"); });
  // Paused at 2:10: no times.
  h.loop.Wait(70000).Keys({KeyOf('P')}).Wait(1000).Then([&] { EXPECT_EQ(state, "Paused"); });
  h.loop.Keys({KeyOf('F')}).Wait(1000).Then([&] { EXPECT_EQ(state, "Fast Forward"); });
  h.loop.Keys({KeyOf('S')}).Wait(999).Then([&] {
    EXPECT_EQ(state, "Fast Forward");  // not before the next tick
    EXPECT_EQ(h.jubo.playlist.NowTitle, "Intro");
  });
  h.loop.Wait(1).Then([&] {
    EXPECT_EQ(state, "Stopped");
    EXPECT_EQ(h.jubo.playlist.NowTitle, "");
    EXPECT_EQ(h.jubo.playlist.NowArtist, "");
    EXPECT_EQ(h.jubo.playlist.NowAlbum, "");
    EXPECT_EQ(h.jubo.screen.frmMain.lblTrack.caption, "");
  });
  // A file still being opened leaves the last text standing; once open it is Ready.
  h.loop.Then([&] {
    h.player.open_ms = 1500;
    h.player.SetURL(h.songs[1].filename);
  });
  h.loop.Wait(1000).Then([&] { EXPECT_EQ(state, "Stopped"); });
  h.loop.Wait(1000).Then([&] { EXPECT_EQ(state, "Ready"); });
  h.Run();
}

TEST(StatusPanelTest, TheSwitchLinePadsRepeatToFifteenCharacters) {
  struct Case {
    int16_t repeat;
    bool non_stop;
    const char* line;
  };
  const Case kCases[] = {
      {1, false, "Repeat:ON      Non-Stop Music:OFF"},
      {0, false, "Repeat:OFF     Non-Stop Music:OFF"},
      {1, true, "Repeat:ON      Non-Stop Music:ON"},
      {2, true, "Repeat:OFF     Non-Stop Music:ON"},  // any other value counts as off
  };
  for (const Case& c : kCases) {
    Harness h;
    h.jubo.settings.PlaylistLoop = c.repeat;
    h.jubo.selection.NonStop = c.non_stop;
    h.loop.Wait(1000).Then([&] { EXPECT_EQ(h.jubo.screen.frmMain.lblState2.caption, c.line); });
    h.Run();
  }
}

TEST(StatusPanelTest, TheTrackLineCyclesSongArtistAndAlbumEveryFiveSeconds) {
  Harness h;
  const std::string& line = h.jubo.screen.frmMain.lblTrack.caption;
  h.loop.Then([&] { h.AddSongs(3); });
  h.loop.Wait(4999).Then([&] { EXPECT_EQ(line, ""); });
  h.loop.Wait(1).Then([&] { EXPECT_EQ(line, "Song: Intro (1 of 3)"); });
  h.loop.Wait(5000).Then([&] { EXPECT_EQ(line, "Artist: O'Dara"); });
  h.loop.Wait(5000).Then([&] { EXPECT_EQ(line, "Album: Blue Hour"); });
  // A new song goes on with the cycle where the last one left it.
  h.loop.Keys({KeyOf('N')}).Wait(5000).Then([&] { EXPECT_EQ(line, "Song: Night (2 of 3)"); });
  h.loop.Wait(5000).Then([&] { EXPECT_EQ(line, "Artist: O'Dara"); });
  h.Run();
}

TEST(StatusPanelTest, ALongTitleGivesWayToTheSongsPlaceInTheList) {
  // The line holds 73 characters here (the fake measure: 130 twips each at 13 points).
  const std::string long_title(100, 'L');
  const std::string fitting_title(60, 'F');  // fits alone, not with the place
  struct Case {
    std::string title;
    std::string line;
  };
  const Case kCases[] = {
      {"Short", "Song: Short (1 of 1)"},
      {fitting_title, "Song: " + fitting_title.substr(0, 47) + "... (1 of 1)"},
      {long_title, "Song: " + long_title.substr(0, 54) + "... (1 of 1)"},
  };
  for (const Case& c : kCases) {
    FixtureLibrary library;
    library.Album("Album", "Artist", "Genre", {c.title});
    Harness h(library);
    h.loop.Then([&] { h.AddSongs(1); });
    h.loop.Wait(5000).Then([&] {
      EXPECT_EQ(h.jubo.screen.frmMain.lblTrack.caption, c.line) << c.title.size() << " chars";
    });
    h.Run();
  }
}

TEST(StatusPanelTest, ASongTheLibraryDoesNotKnowLeavesTheTrackLineAsItWas) {
  Harness h;
  h.loop.Then([&] { h.AddSongs(1); });
  h.loop.Wait(5000).Then([&] {
    EXPECT_EQ(h.jubo.screen.frmMain.lblTrack.caption, "Song: Intro (1 of 1)");
    playback::AppendSong(h.jubo, "Stray by Nobody", "/elsewhere/stray.ogg");
  });
  h.loop.Keys({KeyOf('N')}).Wait(10000).Then([&] {
    EXPECT_EQ(h.player.URL(), "/elsewhere/stray.ogg");
    EXPECT_EQ(h.jubo.screen.frmMain.lblTrack.caption, "Song: Intro (1 of 1)");
  });
  h.Run();
}

}  // namespace
}  // namespace playback
