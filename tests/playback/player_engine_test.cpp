#include "playback/player_engine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/keys.h"
#include "support/harness.h"

namespace playback {
namespace {

using app::KeyOf;
using app::kKeyEnter;
using app::kKeyRight;
using jubo_test::Harness;

const std::vector<jubo_test::FixtureSong>& Songs() {
  static const std::vector<jubo_test::FixtureSong> songs = jubo_test::SmallLibrary().songs();
  return songs;
}
const std::string& File(int song) { return Songs()[static_cast<size_t>(song)].filename; }

// Appends the first `count` songs of the library once the program runs.
void AddSongs(Harness& h, int count) {
  h.loop.Then([&h, count] { h.AddSongs(count); });
}

// Files of the playlist's live entries, in order.
std::vector<std::string> Files(const Harness& h) {
  std::vector<std::string> files;
  for (int32_t i = 0; i < h.jubo.playlist.SongCount; ++i) {
    files.push_back(h.jubo.playlist.Playlist[static_cast<size_t>(i)].file);
  }
  return files;
}

TEST(PlayerEngineTest, PlayerKeysWaitForASongInThePlaylist) {
  Harness h;
  h.loop.Keys({KeyOf('P'), KeyOf('S'), KeyOf('N'), KeyOf('B'), KeyOf('F'), KeyOf('R')}).Then([&] {
    EXPECT_TRUE(h.player.loads.empty());
    EXPECT_EQ(h.player.playState(), kStopped);
    EXPECT_EQ(h.jubo.playlist.CurrentSong, -1);
    // They reached the Main Menu, which has no use for them.
    EXPECT_EQ(h.jubo.screen.CurrentView, 4);
    EXPECT_TRUE(h.TakeCues().empty());
  });
  h.Run();
}

TEST(PlayerEngineTest, TheFirstSongsStartPlaybackAndLaterOnesWait) {
  Harness h;
  AddSongs(h, 3);
  h.loop.Wait(100).Then([&] {
    EXPECT_EQ(h.jubo.playlist.CurrentSong, 0);
    EXPECT_EQ(h.player.loads, std::vector<std::string>{File(0)});
    EXPECT_EQ(h.player.playState(), kPlaying);
    // The table grew by a thousand entries when the third came.
    EXPECT_EQ(h.jubo.playlist.PlaylistCapacity, 1002);
    EXPECT_EQ(h.jubo.playlist.Playlist[2].text, "Outro by O'Dara");
  });
  AddSongs(h, 1);
  h.loop.Wait(100).Then([&] {
    EXPECT_EQ(h.jubo.playlist.SongCount, 4);
    EXPECT_EQ(h.player.loads.size(), 1u);
  });
  h.Run();
}

TEST(PlayerEngineTest, AtTheEndWithoutRepeatTheListRestsStoppedOnItsFirstSong) {
  for (int count : {1, 3}) {
    Harness h;
    h.player.default_length = 2;
    AddSongs(h, count);
    h.loop.Wait(2000 * count + 500).Then([&] {
      EXPECT_EQ(h.jubo.playlist.CurrentSong, 0) << count;
      EXPECT_EQ(h.player.playState(), kStopped) << count;
      EXPECT_EQ(h.player.URL(), File(0)) << count;
      EXPECT_FALSE(h.jubo.playlist.PlayPending) << count;
      EXPECT_EQ(h.player.loads.size(), static_cast<size_t>(count + 1)) << count;
    });
    h.Run();
  }
}

TEST(PlayerEngineTest, WithRepeatTheFirstSongStartsOnceItIsReady) {
  Harness h;
  h.player.default_length = 2;
  h.player.open_ms = 30;
  h.jubo.settings.PlaylistLoop = 1;
  AddSongs(h, 3);
  h.loop.Wait(6200).Then([&] {
    EXPECT_EQ(h.jubo.playlist.CurrentSong, 0);
    EXPECT_EQ(h.player.loads, (std::vector<std::string>{File(0), File(1), File(2), File(0)}));
    EXPECT_EQ(h.player.playState(), kPlaying);
    EXPECT_FALSE(h.jubo.playlist.PlayPending);
    EXPECT_GE(h.player.played_at_ms, h.player.ready_at_ms);
    EXPECT_LE(h.player.played_at_ms - h.player.ready_at_ms, kPlayerTimerInterval);
  });
  h.Run();
}

TEST(PlayerEngineTest, NextAndPreviousWrapAroundWhateverRepeatSays) {
  struct Case {
    int songs;
    std::initializer_list<int16_t> keys;
    int32_t current;
  };
  const Case kCases[] = {
      {5, {KeyOf('B')}, 4},
      {5, {KeyOf('N'), KeyOf('N')}, 2},
      {5, {KeyOf('N'), KeyOf('N'), KeyOf('N'), KeyOf('N'), KeyOf('N')}, 0},
      {5, {KeyOf('N'), KeyOf('B'), KeyOf('B')}, 4},
      {1, {KeyOf('N')}, 0},
      {1, {KeyOf('B')}, 0},
  };
  for (const Case& c : kCases) {
    Harness h;
    AddSongs(h, c.songs);
    h.loop.Wait(1000).Keys(c.keys).Wait(100).Then([&] {
      const std::string label =
          std::to_string(c.songs) + " songs, " + std::to_string(c.keys.size()) + " keys";
      EXPECT_EQ(h.jubo.playlist.CurrentSong, c.current) << label;
      EXPECT_EQ(h.player.URL(), File(c.current)) << label;
      EXPECT_EQ(h.player.playState(), kPlaying) << label;
      // Every key loaded its song again, from the beginning.
      EXPECT_EQ(h.player.loads.size(), 1 + c.keys.size()) << label;
      EXPECT_LT(h.player.currentPosition(), 1) << label;
    });
    h.Run();
  }
}

TEST(PlayerEngineTest, NextWaitsWhileNonStopMusicQueuesItsSong) {
  Harness h;
  AddSongs(h, 3);
  h.loop.Wait(100).Then([&] {
    h.jubo.selection.NonStop = true;
    h.jubo.selection.NonStopReady = false;
  });
  h.loop.Keys({KeyOf('N')}).Then([&] { EXPECT_EQ(h.jubo.playlist.CurrentSong, 0); });
  h.loop.Keys({KeyOf('B')}).Then([&] { EXPECT_EQ(h.jubo.playlist.CurrentSong, 2); });
  h.Run();
}

TEST(PlayerEngineTest, PlayPauseFromEachState) {
  struct Case {
    const char* from;
    std::initializer_list<int16_t> keys;  // from playing at 10 s
    int state;                            // after P
    bool reloaded;
  };
  const Case kCases[] = {
      {"playing", {}, kPaused, false},
      {"paused", {KeyOf('P')}, kPlaying, false},
      {"fast-forwarding", {KeyOf('F')}, kPlaying, false},
      {"stopped", {KeyOf('S')}, kPlaying, true},
  };
  for (const Case& c : kCases) {
    Harness h;
    AddSongs(h, 2);
    h.loop.Wait(10000).Keys(c.keys).Wait(1000).Keys({KeyOf('P')}).Wait(10).Then([&] {
      EXPECT_EQ(h.player.playState(), c.state) << c.from;
      EXPECT_EQ(h.player.loads.size(), c.reloaded ? 2u : 1u) << c.from;
      EXPECT_EQ(h.player.URL(), File(0)) << c.from;
      // A stopped song starts over; the others go on from where they were.
      if (c.reloaded) {
        EXPECT_LT(h.player.currentPosition(), 1) << c.from;
      } else {
        EXPECT_GE(h.player.currentPosition(), 10) << c.from;
      }
    });
    h.Run();
  }
}

TEST(PlayerEngineTest, FastForwardTogglesAndSkipBackAsksTenSecondsBack) {
  Harness h;
  h.player.open_ms = 0;  // the song starts at 0 s on the clock
  AddSongs(h, 1);
  h.loop.Wait(4000).Keys({KeyOf('R')}).Then([&] {
    EXPECT_EQ(h.player.positions_asked, std::vector<double>{-6});
    EXPECT_LT(h.player.currentPosition(), 0.1);  // the player starts the song over
  });
  h.loop.Keys({KeyOf('F')}).Wait(1000).Then([&] {
    EXPECT_EQ(h.player.playState(), kFastForward);
    EXPECT_NEAR(h.player.currentPosition(), 4, 0.1);
  });
  h.loop.Keys({KeyOf('F')}).Wait(1000).Then([&] {
    EXPECT_EQ(h.player.playState(), kPlaying);
    EXPECT_NEAR(h.player.currentPosition(), 5, 0.1);
  });
  h.Run();
}

TEST(PlayerEngineTest, BothStopsKeepTheEntryAndItsFile) {
  Harness h;
  AddSongs(h, 3);
  h.loop.Wait(100).Keys({KeyOf('N')}).Wait(5000).Keys({KeyOf('S')}).Then([&] {
    EXPECT_EQ(h.player.playState(), kStopped);
    EXPECT_EQ(h.jubo.playlist.CurrentSong, 1);
    EXPECT_EQ(h.player.loads.size(), 2u);
  });
  // Playlist Control's Stop loads the file again first.
  h.loop.Then([&] { StopAndReload(h.jubo); }).Wait(100).Then([&] {
    EXPECT_EQ(h.player.playState(), kStopped);
    EXPECT_EQ(h.player.loads, (std::vector<std::string>{File(0), File(1), File(1)}));
    EXPECT_EQ(h.jubo.playlist.CurrentSong, 1);
  });
  h.Run();
}

TEST(PlayerEngineTest, ShuffleAsksThenPlaysTheNewFirstSong) {
  const std::vector<std::string> kInOrder = {File(0), File(1), File(2), File(3)};
  struct Case {
    const char* what;
    std::initializer_list<int16_t> answer;
    std::vector<std::string> order;
  };
  // Draws 0.9, 0, 0.5, 0: entry 0 swaps with 3, 1 stays, 2 swaps with 3, 3 stays.
  const Case kCases[] = {
      {"no", {kKeyEnter}, kInOrder},
      {"yes", {kKeyRight, kKeyEnter}, {File(3), File(1), File(0), File(2)}},
  };
  for (const Case& c : kCases) {
    Harness h;
    h.random.next = {0.9, 0, 0.5, 0};
    AddSongs(h, 4);
    h.loop.Wait(100).Keys({KeyOf('N')}).Wait(3000).Keys({KeyOf('X')}).Then([&] {
      EXPECT_EQ(h.jubo.dialogs.frmConfirm.lblTitle.caption, "Shuffle");
      EXPECT_EQ(h.jubo.dialogs.frmConfirm.lblTitle2.caption, "Playlist?");
      EXPECT_FALSE(h.jubo.screen.frmMain.shpHighlight.visible);
    });
    h.loop.Keys(c.answer).Wait(100).Then([&] {
      EXPECT_EQ(Files(h), c.order) << c.what;
      EXPECT_TRUE(h.jubo.screen.frmMain.shpHighlight.visible) << c.what;
      EXPECT_EQ(h.player.playState(), kPlaying) << c.what;
      if (c.order == kInOrder) {
        EXPECT_EQ(h.jubo.playlist.CurrentSong, 1) << c.what;
        EXPECT_EQ(h.random.randomized, 0) << c.what;
      } else {
        EXPECT_EQ(h.jubo.playlist.CurrentSong, 0) << c.what;
        EXPECT_EQ(h.player.URL(), c.order[0]) << c.what;
        EXPECT_EQ(h.random.randomized, 1) << c.what;
      }
    });
    h.Run();
  }
}

TEST(PlayerEngineTest, ShuffleOfOneSongStartsItOverAndOfNoneDoesNothing) {
  Harness h;
  h.loop.Keys({KeyOf('X')}).Then([&] {
    EXPECT_FALSE(h.jubo.dialogs.DialogOpen);  // not even asked
    EXPECT_TRUE(h.player.loads.empty());
  });
  AddSongs(h, 1);
  h.loop.Wait(30000).Keys({KeyOf('X'), kKeyRight, kKeyEnter}).Wait(10).Then([&] {
    EXPECT_EQ(Files(h), std::vector<std::string>{File(0)});
    EXPECT_EQ(h.player.loads.size(), 2u);
    EXPECT_EQ(h.player.playState(), kPlaying);
    EXPECT_LT(h.player.currentPosition(), 1);
  });
  h.Run();
}

TEST(PlayerEngineTest, ClearAsksThenEmptiesThePlaylistAndNonStopGoesOff) {
  struct Case {
    int16_t view;  // where C is pressed
    std::initializer_list<int16_t> answer;
    bool cleared;
  };
  const Case kCases[] = {
      {4, {kKeyEnter}, false},
      {4, {kKeyRight, kKeyEnter}, true},
      {8, {kKeyRight, kKeyEnter}, true},
  };
  for (const Case& c : kCases) {
    Harness h;
    AddSongs(h, 3);
    h.loop.Wait(100).Then([&] {
      h.jubo.selection.NonStop = true;
      h.jubo.screen.CurrentView = c.view;
      h.jubo.screen.CrumbDepth = c.view == 4 ? 1 : 2;
      h.jubo.screen.CurrentRow = 3;
    });
    h.loop.Keys({KeyOf('C')}).Then([&] {
      EXPECT_EQ(h.jubo.dialogs.frmConfirm.lblTitle.caption, "Clear Playlist?");
      EXPECT_EQ(h.jubo.dialogs.frmConfirm.lblTitle2.caption, "");
    });
    h.loop.Keys(c.answer).Wait(100).Then([&] {
      const std::string label = "view " + std::to_string(c.view);
      EXPECT_EQ(h.jubo.playlist.SongCount, c.cleared ? 0 : 3) << label;
      EXPECT_EQ(h.jubo.playlist.CurrentSong, c.cleared ? -1 : 0) << label;
      EXPECT_EQ(h.player.playState(), c.cleared ? kStopped : kPlaying) << label;
      EXPECT_EQ(h.jubo.selection.NonStop, !c.cleared) << label;
      if (c.cleared) {
        // The Main Menu, without its playlist items, at its first row.
        EXPECT_EQ(h.jubo.screen.CurrentView, 4) << label;
        EXPECT_EQ(h.jubo.screen.CrumbDepth, 1) << label;
        EXPECT_EQ(h.jubo.screen.CurrentRow, 1) << label;
        EXPECT_EQ(h.HighlightedRow(), "Select Songs by Album") << label;
      } else {
        EXPECT_EQ(h.jubo.screen.CurrentRow, 3) << label;
      }
    });
    // Songs added after a clear start by themselves again.
    AddSongs(h, 1);
    h.loop.Wait(100).Then([&] { EXPECT_EQ(h.player.playState(), kPlaying); });
    h.Run();
  }
}

TEST(PlayerEngineTest, ASongThatStartsHasItsDetailsLookedUp) {
  Harness h;
  AddSongs(h, 2);
  h.loop.Wait(100).Then([&] {
    // The artist's quote is doubled in the query, and the row found.
    EXPECT_NE(h.jubo.library.sqlSongInfo.find("/music/O''Dara/Blue Hour/01.ogg"), std::string::npos)
        << h.jubo.library.sqlSongInfo;
    EXPECT_EQ(h.jubo.playlist.NowTitle, "Intro");
    EXPECT_EQ(h.jubo.playlist.NowArtist, "O'Dara");
    EXPECT_EQ(h.jubo.playlist.NowAlbum, "Blue Hour");
    EXPECT_EQ(h.jubo.library.rsSongInfo.State(), textdb::Cursor::kStateClosed);
  });
  // A file the library does not know leaves the details empty.
  h.loop.Then([&] { AppendSong(h.jubo, "Stray by Nobody", "/elsewhere/stray.ogg"); });
  h.loop.Keys({KeyOf('N'), KeyOf('N')}).Wait(100).Then([&] {
    EXPECT_EQ(h.player.URL(), "/elsewhere/stray.ogg");
    EXPECT_EQ(h.jubo.playlist.NowTitle, "");
    EXPECT_EQ(h.jubo.playlist.NowArtist, "");
  });
  h.Run();
}

TEST(PlayerEngineTest, ASongThatCannotBePlayedIsSkippedOrStoppedOn) {
  struct Case {
    const char* what;
    int songs;
    std::vector<int> unplayable;
    int16_t action_on_error;
    int16_t repeat;
    int32_t rests_on;  // CurrentSong at the end
    int state;         // and the player's state
    size_t loads;
    bool beep;
  };
  const Case kCases[] = {
      {"skip the second", 3, {1}, 0, 0, 0, kStopped, 4, false},
      {"skip the last", 3, {2}, 0, 0, 0, kStopped, 4, false},
      {"stop on the third", 3, {2}, 1, 0, 2, kStopped, 3, true},
      {"stop on the first", 3, {0}, 1, 1, 0, kStopped, 1, true},
      // Skipping gives up once every song has failed in a row: no endless round.
      {"skip, all missing, repeat", 3, {0, 1, 2}, 0, 1, 2, kStopped, 3, true},
      {"skip, the only song missing", 1, {0}, 0, 1, 0, kStopped, 1, true},
      // One good song among missing ones keeps the music going: the third round by 7 s.
      {"skip, one good, repeat", 3, {0, 2}, 0, 1, 1, kPlaying, 11, false},
  };
  for (const Case& c : kCases) {
    Harness h;
    h.player.default_length = 2;
    for (int song : c.unplayable) h.player.unplayable.insert(File(song));
    h.jubo.settings.ActionOnError = c.action_on_error;
    h.jubo.settings.PlaylistLoop = c.repeat;
    AddSongs(h, c.songs);
    h.loop.Wait(2000 * c.songs + 1000).Then([&] {
      EXPECT_EQ(h.jubo.playlist.CurrentSong, c.rests_on) << c.what;
      EXPECT_EQ(h.player.playState(), c.state) << c.what;
      EXPECT_EQ(h.player.loads.size(), c.loads) << c.what;
      std::vector<std::string> beeps;
      if (c.beep) beeps.push_back(jubo_test::kBeep);
      EXPECT_EQ(h.TakeCues(), beeps) << c.what;
    });
    h.Run();
  }
}

TEST(PlayerEngineTest, ASongThatFailsWhilePlayingIsSkipped) {
  Harness h;
  AddSongs(h, 3);
  h.loop.Wait(5000).Then([&] { h.player.Fail(); }).Wait(100).Then([&] {
    EXPECT_EQ(h.jubo.playlist.CurrentSong, 1);
    EXPECT_EQ(h.player.playState(), kPlaying);
  });
  h.Run();
}

// Non-Stop Music's draw, as the engine calls it: one more song from a pool, while it lasts.
std::vector<int> pool;
bool ready_while_drawing = true;
void DrawFromPool(app::Jubo& jubo) {
  ready_while_drawing = jubo.selection.NonStopReady;
  if (pool.empty()) return;
  const jubo_test::FixtureSong& song = Songs()[static_cast<size_t>(pool.back())];
  pool.pop_back();
  AppendSong(jubo, song.title + " by " + song.artist, song.filename);
}

TEST(PlayerEngineTest, NonStopMusicAppendsASongWhenTheLastOneStarts) {
  Harness h;
  pool = {5, 4, 3};
  h.player.default_length = 2;
  h.loop.Then([&] {
    h.jubo.selection.NonStop = true;
    h.jubo.playlist.non_stop_draw = DrawFromPool;
  });
  AddSongs(h, 1);
  h.loop.Wait(100).Then([&] {
    EXPECT_EQ(Files(h), (std::vector<std::string>{File(0), File(3)}));
    EXPECT_FALSE(ready_while_drawing);
    EXPECT_TRUE(h.jubo.selection.NonStopReady);
  });
  h.loop.Wait(2000).Then([&] {
    EXPECT_EQ(h.jubo.playlist.CurrentSong, 1);
    EXPECT_EQ(Files(h), (std::vector<std::string>{File(0), File(3), File(4)}));
  });
  // A pause and a resume report the start again; only the last entry draws.
  h.loop.Keys({KeyOf('P'), KeyOf('P')}).Wait(10).Then([&] {
    EXPECT_EQ(h.jubo.playlist.SongCount, 3);
  });
  h.loop.Wait(4000).Then([&] {
    EXPECT_EQ(h.jubo.playlist.SongCount, 4);
    EXPECT_TRUE(pool.empty());
  });
  // With the pool empty the list simply ends.
  h.loop.Wait(4000).Then([&] {
    EXPECT_EQ(h.jubo.playlist.SongCount, 4);
    EXPECT_EQ(h.jubo.playlist.CurrentSong, 0);
    EXPECT_EQ(h.player.playState(), kStopped);
  });
  h.Run();
}

TEST(PlayerEngineTest, WithNonStopMusicAFailingLastSongIsFollowedByADrawnOne) {
  Harness h;
  pool = {4};
  h.player.unplayable = {File(1)};
  h.loop.Then([&] {
    h.jubo.selection.NonStop = true;
    h.jubo.playlist.non_stop_draw = DrawFromPool;
  });
  AddSongs(h, 2);  // the first starts: not the last, nothing drawn
  h.loop.Keys({KeyOf('N')}).Wait(100).Then([&] {
    EXPECT_EQ(Files(h), (std::vector<std::string>{File(0), File(1), File(4)}));
    EXPECT_EQ(h.jubo.playlist.CurrentSong, 2);
    EXPECT_EQ(h.player.playState(), kPlaying);
  });
  h.Run();
}

}  // namespace
}  // namespace playback
