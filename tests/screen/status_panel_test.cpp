#include "screen/status_panel.h"

#include <gtest/gtest.h>

#include <string>

#include "ground/keys.h"
#include "playback/player_engine.h"
#include "support/session.h"

namespace playback {
namespace {

using ground::KeyOf;
using namespace jubo_test;

// Three songs of the library and one it does not know: the track line cycles song, artist and
// album every five seconds of a song, the state line follows the player at once and each second.
TEST(StatusPanelTest, TheLinesFollowThePlayerAtOnceAndOnTheirTimers) {
  Harness h;
  h.loop.Then([&] {
    h.AddSongs(3);
    AppendSong(h.jubo, "Stray by Nobody", "/elsewhere/stray.ogg");
  });
  Script(h, {
                // At once, before the timers' first turn.
                {.wait_ms = 10, .state = "Playing 00:00 of 03:00", .track = "Song: Intro (1 of 4)"},
                {.wait_ms = 9990, .track = "Artist: O'Dara"},
                {.wait_ms = 5000, .track = "Album: Blue Hour"},
                // A new song goes on with the cycle where the last one left it.
                {.keys = {KeyOf('N')}, .wait_ms = 5000, .track = "Song: Night (2 of 4)"},
                {.wait_ms = 5000, .track = "Artist: O'Dara"},
                // A song the library does not know leaves the line as it was. At each second's tick
                // it has played n.996 s: times are floored.
                {.keys = {KeyOf('N'), KeyOf('N')},
                 .wait_ms = 10000,
                 .state = "Playing 00:09 of 03:00",
                 .track = "Artist: O'Dara"},
                {.wait_ms = 51000, .state = "Playing 01:00 of 03:00"},
                {.wait_ms = 70000, .state = "Playing 02:10 of 03:00"},
                {.keys = {KeyOf('P')}, .state = "Paused"},
                {.keys = {KeyOf('F')}, .state = "Fast Forward"},
                {.keys = {KeyOf('S')},
                 .state = "Stopped",
                 .check =
                     [](Harness& h) {
                       EXPECT_EQ(h.jubo.playlist.NowTitle, "");  // forgotten once stopped
                       EXPECT_EQ(h.jubo.screen.frmMain.lblTrack.caption, "");
                       // A file still being opened leaves the last text standing; once open it is
                       // Ready.
                       h.player.open_ms = 1500;
                       h.player.SetURL(h.songs[1].filename);
                     }},
                {.wait_ms = 1000, .state = "Stopped"},
                {.wait_ms = 1000, .state = "Ready"},
            });
  h.Run();
}

TEST(StatusPanelTest, ALongTitleGivesWayToTheSongsPlaceInTheList) {
  // The line holds 73 characters here (the fake measure: 130 twips each at 13 points): the first
  // title fits alone but not with its place, the second not even alone.
  const std::string fitting(60, 'F'), too_long(100, 'L');
  Harness h(FixtureLibrary().Album("Album", "Artist", "Genre", {fitting, too_long}));
  h.loop.Then([&] { h.AddSongs(2); });
  Script(h, {{.wait_ms = 10, .track = "Song: " + fitting.substr(0, 47) + "... (1 of 2)"},
             {.keys = {KeyOf('N')},
              .wait_ms = 10,
              .track = "Song: " + too_long.substr(0, 54) + "... (2 of 2)"}});
  h.Run();
}

}  // namespace
}  // namespace playback
