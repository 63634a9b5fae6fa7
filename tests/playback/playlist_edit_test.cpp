#include "playback/playlist_edit.h"

#include <gtest/gtest.h>

#include "ground/keys.h"
#include "playback/player_context.h"
#include "support/harness.h"

namespace playback {
namespace {

TEST(PlaylistEditTest, RemovingASongKeepsTheRightSongPlaying) {
  struct Case {
    int songs;
    int playing;  // the entry that plays when one is removed
    int32_t removed;
    int32_t current;  // CurrentSong afterwards
    int plays;        // the library's song the player has afterwards; -1 when it stopped
  };
  const Case kCases[] = {
      {4, 1, 0, 0, 1},   // an earlier one: the same song plays on, one place earlier
      {4, 3, 0, 2, 3},   // an earlier one, while the last plays
      {4, 1, 3, 1, 1},   // a later one: nothing changes
      {4, 1, 1, 1, 2},   // the playing one: the song that moves into its place starts
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
      for (int32_t i = 0; i < p.SongCount; ++i) {  // the index follows the entries
        EXPECT_EQ(FindSong(p, p.Playlist[static_cast<size_t>(i)].file()), i);
      }
    });
    h.Run();
  }
}

}  // namespace
}  // namespace playback
