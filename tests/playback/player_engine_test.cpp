#include "playback/player_engine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ground/keys.h"
#include "playback/playlist_edit.h"
#include "support/harness.h"

namespace playback {
namespace {

using ground::KeyOf;
using ground::kKeyEnter;
using ground::kKeyRight;
using jubo_test::Harness;

const int16_t P = KeyOf('P'), N = KeyOf('N'), B = KeyOf('B'), F = KeyOf('F'), S = KeyOf('S');

const std::string& File(int song) {
  static const std::vector<jubo_test::FixtureSong> songs = jubo_test::SmallLibrary().songs();
  return songs[static_cast<size_t>(song)].filename;
}

// Appends the library's first `count` songs once the program runs, as the views do.
void AddSongs(Harness& h, int count) {
  h.loop.Then([&h, count] { h.AddSongs(count); });
}

std::vector<std::string> Files(const Harness& h) {
  std::vector<std::string> files;
  for (int32_t i = 0; i < h.jubo.playlist.SongCount; ++i) {
    files.push_back(h.jubo.playlist.Playlist[static_cast<size_t>(i)].file());
  }
  return files;
}

TEST(PlayerEngineTest, PlayerKeysWaitForASongInThePlaylist) {
  Harness h;
  h.loop.Keys({P, S, N, B, F, KeyOf('R'), KeyOf('X')}).Then([&] {
    EXPECT_TRUE(h.player.loads.empty());
    EXPECT_EQ(h.display.top(), &h.jubo.screen.frmMain) << "an empty list is not shuffled";
  });
  h.Run();
}

// Songs of 2 s; the keys pressed 1 s into the first, then where the list is `wait_ms` later.
TEST(PlayerEngineTest, KeysEndsAndFailuresMoveThroughTheListAndRestOnItsFirstSong) {
  struct Case {
    const char* what;
    int songs;
    std::vector<int16_t> keys;
    int64_t wait_ms;
    int16_t repeat, action_on_error;
    std::vector<int> unplayable;
    int32_t current;  // CurrentSong then
    int state;
    size_t loads;  // files set, the first one's included
    bool told;     // the error cue, and "Could not play" / "Song " and CurrentSong + 1
  };
  const Case kCases[] = {
      // At the end the list rests stopped on its first song, or starts over with repeat.
      {"one song ends", 1, {}, 1100, 0, 0, {}, 0, kStopped, 2, false},
      {"three songs end", 3, {}, 5300, 0, 0, {}, 0, kStopped, 4, false},
      {"three songs, repeat", 3, {}, 5300, 1, 0, {}, 0, kPlaying, 4, false},
      // Next and Previous wrap around whatever repeat says, each from the song's beginning.
      {"B from the first", 5, {B}, 100, 0, 0, {}, 4, kPlaying, 2, false},
      {"N past the last", 5, {N, N, N, N, N}, 100, 0, 0, {}, 0, kPlaying, 6, false},
      {"N, B, B", 5, {N, B, B}, 100, 0, 0, {}, 4, kPlaying, 4, false},
      {"N on one song", 1, {N}, 100, 0, 0, {}, 0, kPlaying, 2, false},
      {"B on one song", 1, {B}, 100, 0, 0, {}, 0, kPlaying, 2, false},
      // A song that cannot be played is skipped, or stopped on.
      {"skip the second", 3, {}, 6000, 0, 0, {1}, 0, kStopped, 4, false},
      {"skip the last", 3, {}, 6000, 0, 0, {2}, 0, kStopped, 4, false},
      // The first song, loaded only to rest on, fails again: that moves nothing.
      {"skip the first two", 3, {}, 6000, 0, 0, {0, 1}, 0, kStopped, 4, false},
      {"stop on the third", 3, {}, 6000, 0, 1, {2}, 2, kStopped, 3, true},
      // Skipping gives up once every song has failed in a row: no endless rounds.
      {"skip, all missing, repeat", 3, {}, 6000, 1, 0, {0, 1, 2}, 2, kStopped, 3, true},
      {"skip, the only song missing", 1, {}, 2000, 1, 0, {0}, 0, kStopped, 1, true},
      // One good song among missing ones keeps the music going: the third round by 7 s.
      {"skip, one good, repeat", 3, {}, 6000, 1, 0, {0, 2}, 1, kPlaying, 11, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    Harness h;
    h.player.default_length = 2;
    for (int song : c.unplayable) h.player.unplayable.insert(File(song));
    h.jubo.settings.PlaylistLoop = c.repeat;
    h.jubo.settings.ActionOnError = c.action_on_error;
    AddSongs(h, c.songs);
    h.loop.Wait(1000).Keys(c.keys).Wait(c.wait_ms).Then([&] {
      EXPECT_EQ(h.jubo.playlist.CurrentSong, c.current);
      EXPECT_EQ(h.player.URL(), File(c.current));
      EXPECT_EQ(h.player.playState(), c.state);
      EXPECT_EQ(h.player.loads.size(), c.loads);
      EXPECT_EQ(h.TakeCues().size(), c.told ? 1u : 0u);
      const std::vector<std::string> told = {"Could not play",
                                             "Song " + std::to_string(c.current + 1)};
      EXPECT_EQ(h.Dialog().lines, c.told ? told : std::vector<std::string>{});
      EXPECT_TRUE(c.keys.empty() || h.player.currentPosition() < 1) << "not from the beginning";
    });
    h.Run();
  }
}

TEST(PlayerEngineTest, PlayPauseFastForwardStopAndSkipBack) {
  struct Case {
    const char* from;
    std::initializer_list<int16_t> keys;  // at 10 s into the first song
    int state;                            // after one more second and P
    bool from_the_beginning;
  };
  const Case kCases[] = {
      {"playing", {}, kPaused, false},
      {"paused", {P}, kPlaying, false},
      {"fast-forwarding", {F}, kPlaying, false},
      {"stopped", {S}, kPlaying, true},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.from);
    Harness h;
    AddSongs(h, 2);
    h.loop.Wait(10000).Keys(c.keys).Wait(1000).Keys({P}).Wait(10).Then([&] {
      EXPECT_EQ(h.player.playState(), c.state);
      EXPECT_EQ(h.player.loads.size(), c.from_the_beginning ? 2u : 1u);
      EXPECT_EQ(h.jubo.playlist.CurrentSong, 0);
      EXPECT_EQ(h.player.currentPosition() < 1, c.from_the_beginning);
    });
    h.Run();
  }

  // Ten seconds back from 4 s is the beginning; fast forward is four times as fast.
  Harness h;
  h.player.open_ms = 0;  // the song starts at 0 s on the clock
  AddSongs(h, 1);
  h.loop.Wait(4000).Keys({KeyOf('R')}).Then([&] { EXPECT_EQ(h.player.currentPosition(), 0); });
  h.loop.Keys({F}).Wait(1000).Then([&] {
    EXPECT_EQ(h.player.playState(), kFastForward);
    EXPECT_EQ(h.player.currentPosition(), 4);
  });
  h.loop.Keys({F}).Wait(1000).Then([&] {
    EXPECT_EQ(h.player.playState(), kPlaying);
    EXPECT_EQ(h.player.currentPosition(), 5);
  });
  h.Run();
}

TEST(PlayerEngineTest, ShuffleAsksThenPlaysTheNewFirstSong) {
  struct Case {
    int songs;
    std::initializer_list<int16_t> answer;
    std::vector<std::string> order;
    int32_t current;
  };
  // Draws 0.9, 0, 0.5, 0: entry 0 swaps with 3, 1 stays, 2 swaps with 3, 3 stays.
  const Case kCases[] = {
      {4, {kKeyEnter}, {File(0), File(1), File(2), File(3)}, 1},
      {4, {kKeyRight, kKeyEnter}, {File(3), File(1), File(0), File(2)}, 0},
      {1, {kKeyRight, kKeyEnter}, {File(0)}, 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::to_string(c.songs) + " songs, " + std::to_string(c.answer.size()) + " keys");
    Harness h;
    h.random.next = {0.9, 0, 0.5, 0};
    AddSongs(h, c.songs);
    h.loop.Wait(100).Keys({N}).Wait(3000).Keys({KeyOf('X')}).Then([&] {
      EXPECT_EQ(h.Dialog().lines, (std::vector<std::string>{"Shuffle", "Playlist?"}));
    });
    h.loop.Keys(c.answer).Wait(100).Then([&] {
      EXPECT_EQ(Files(h), c.order);
      EXPECT_EQ(h.jubo.playlist.CurrentSong, c.current);
      EXPECT_EQ(h.player.URL(), c.order[static_cast<size_t>(c.current)]);
      EXPECT_EQ(h.player.playState(), kPlaying);
      const bool shuffled = c.answer.size() == 2;
      EXPECT_EQ(h.random.randomized, shuffled ? 1 : 0);
      // After a shuffle the first song plays from its beginning.
      EXPECT_EQ(h.player.currentPosition() < 1, shuffled);
    });
    h.Run();
  }
}

TEST(PlayerEngineTest, ClearAsksThenEmptiesThePlaylistAndShowsTheMainMenu) {
  Harness h;
  AddSongs(h, 3);
  h.loop.Then([&] {
    h.jubo.selection.NonStop = true;
    h.jubo.screen.CurrentView = screen::kViewNowPlaying;
    h.jubo.screen.CurrentRow = 3;
  });
  h.loop.Keys({KeyOf('C')}).Then([&] {
    EXPECT_EQ(h.Dialog().lines, (std::vector<std::string>{"Clear Playlist?", ""}));
  });
  h.loop.Keys({kKeyEnter}).Then([&] { EXPECT_EQ(h.jubo.playlist.SongCount, 3); });  // "No"
  h.loop.Keys({KeyOf('C'), kKeyRight, kKeyEnter}).Wait(10).Then([&] {
    EXPECT_EQ(h.jubo.playlist.SongCount, 0);
    EXPECT_FALSE(h.jubo.selection.NonStop);
    EXPECT_EQ(h.jubo.screen.CurrentView, screen::kViewMainMenu);
    EXPECT_EQ(h.HighlightedRow(), "Select Songs by Album");
  });
  // Songs added afterwards start by themselves again.
  AddSongs(h, 1);
  h.loop.Wait(100).Then([&] { EXPECT_EQ(h.player.playState(), kPlaying); });
  h.Run();
}

TEST(PlayerEngineTest, WithoutAnAudioOutputTheListStopsOnTheSongAndSaysSoOnce) {
  for (int16_t action_on_error : {0, 1}) {
    SCOPED_TRACE("ActionOnError " + std::to_string(action_on_error));
    Harness h(jubo_test::SmallLibrary(), 1280, 720);  // wide enough for the whole state line
    h.player.failing_output = "alsa";
    h.jubo.settings.ActionOnError = action_on_error;
    const std::string& state = h.jubo.screen.frmMain.lblState.caption;
    testing::internal::CaptureStderr();
    AddSongs(h, 3);
    // Not a song that cannot be played: nothing is skipped or reported, and trying again (or
    // another song) fails alike.
    h.loop.Wait(1000).Keys({P}).Wait(1000).Keys({N}).Wait(1000).Then([&] {
      EXPECT_EQ(h.jubo.playlist.CurrentSong, 1);
      EXPECT_EQ(h.player.loads.size(), 3u);
      EXPECT_EQ(h.player.playState(), kStopped);
      EXPECT_TRUE(h.TakeCues().empty());
      EXPECT_EQ(state, "No sound: audio output alsa failed");
      EXPECT_EQ(testing::internal::GetCapturedStderr(),
                "jubo: the audio output \"alsa\" could not be opened (cannot open); choose "
                "another with JUBO_AUDIO_OUTPUT, for example pulse, pipewire or alsa.\n");
      h.player.failing_output.clear();  // the sound server is back
    });
    h.loop.Keys({P}).Wait(1000).Then([&] { EXPECT_TRUE(state.starts_with("Playing ")) << state; });
    h.Run();
  }
}

// Non-Stop Music's draw as the engine calls it: one more song from a pool, while it lasts.
std::vector<int> pool;
bool ready_while_drawing = true;
void DrawFromPool(playback::PlayerContext& jubo) {
  ready_while_drawing = jubo.selection.NonStopReady;
  if (pool.empty()) return;
  AppendSong(jubo, "Drawn", File(pool.back()));
  pool.pop_back();
}

TEST(PlayerEngineTest, NonStopMusicAppendsASongWhenTheLastOneStartsOrFails) {
  Harness h;
  pool = {5, 4, 3};
  h.player.default_length = 2;
  h.player.unplayable = {File(4)};
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
  // A pause and a resume report the start again; only the last entry draws.
  h.loop.Keys({P, P}).Wait(10).Then([&] { EXPECT_EQ(h.jubo.playlist.SongCount, 2); });
  // The second song starts and draws the third, which fails and draws the fourth.
  h.loop.Wait(4000).Then([&] {
    EXPECT_EQ(Files(h), (std::vector<std::string>{File(0), File(3), File(4), File(5)}));
  });
  // The fourth plays; with the pool empty the list then simply ends.
  h.loop.Wait(4000).Then([&] {
    EXPECT_EQ(h.jubo.playlist.SongCount, 4);
    EXPECT_EQ(h.jubo.playlist.CurrentSong, 0);
    EXPECT_EQ(h.player.playState(), kStopped);
    h.jubo.selection.NonStopReady = false;
  });
  // N waits while Non-Stop Music draws its next song; B does not.
  h.loop.Keys({N}).Then([&] { EXPECT_EQ(h.jubo.playlist.CurrentSong, 0); });
  h.loop.Keys({B}).Then([&] { EXPECT_EQ(h.jubo.playlist.CurrentSong, 3); });
  h.Run();
}

TEST(PlaylistEditTest, RemovingASongKeepsTheRightSongPlaying) {
  struct Case {
    int songs;
    int playing;  // the entry that plays when one is removed
    int32_t removed;
    int32_t current;  // CurrentSong afterwards
    int plays;        // the library's song the player has afterwards; -1 when it stopped
  };
  // An earlier entry and the playing one are also Now Playing's removals.
  const Case kCases[] = {
      {4, 3, 0, 2, 3},   // an earlier one, while the last plays: it plays on, one place earlier
      {4, 1, 3, 1, 1},   // a later one: nothing changes
      {4, 3, 3, 0, 0},   // the playing last one: the list starts over
      {1, 0, 0, 0, -1},  // the only one: the player stops
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::to_string(c.removed) + " of " + std::to_string(c.songs) + " while " +
                 std::to_string(c.playing) + " plays");
    jubo_test::Harness h;
    h.loop.Then([&] { h.AddSongs(c.songs); }).Keys(ground::KeyOf('N'), c.playing);
    h.loop.Wait(100).Then([&] { RemoveSong(h.jubo, c.removed); }).Wait(100).Then([&] {
      const PlaylistState& p = h.jubo.playlist;
      EXPECT_EQ(p.SongCount, c.songs - 1);
      EXPECT_EQ(p.CurrentSong, c.current);
      EXPECT_EQ(h.player.playState(), c.plays < 0 ? kStopped : kPlaying);
      if (c.plays >= 0) {
        EXPECT_EQ(h.player.URL(), h.songs[static_cast<size_t>(c.plays)].filename);
      }
    });
    h.Run();
  }
}

}  // namespace
}  // namespace playback
