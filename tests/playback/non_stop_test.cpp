// Non-Stop Music: switching it, what turning it on adds at once, and the pool the engine draws
// from as the songs play: every eligible song once, in an order spread over the library.
#include "playback/non_stop.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "ground/keys.h"
#include "support/harness.h"

namespace playback {
namespace {

using jubo_test::FixtureLibrary;
using jubo_test::Harness;

TEST(NonStopTest, TurningOnAddsASongOnlyWhenNothingIsLeftToPlay) {
  constexpr NonStopSwitch kOn = NonStopSwitch::kOn, kNone = NonStopSwitch::kAllExcluded;
  struct Case {
    const char* what;
    int queued;         // songs of the library added first
    bool last_current;  // the last of them plays
    NonStopSwitch turned;
    int32_t songs;    // SongCount at once
    size_t pool;      // songs outside the exclusions
    int64_t then_ms;  // until the last entry has started, not the next (songs of 2 s)
    std::vector<std::string> excluded_artists, excluded_genres;
  };
  const Case kCases[] = {
      {"an empty playlist", 0, false, kOn, 1, 9, 1000, {}, {}},
      {"songs queued", 3, false, kOn, 3, 5, 5000, {}, {"Rock"}},
      // Only Élan's song is eligible, and it is in the playlist already.
      {"every eligible song in it", 7, true, kOn, 7, 1, 1000, {"O'Dara"}, {"Rock", "Blues"}},
      {"all excluded", 0, false, kNone, 0, 0, 1000, {}, {"Jazz", "Rock", "Blues"}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    Harness h;
    h.player.default_length = 2;
    h.jubo.selection.ExcludedArtists = c.excluded_artists;
    h.jubo.selection.ExcludedGenres = c.excluded_genres;
    h.loop.Then([&] { h.AddSongs(c.queued); });
    if (c.last_current) h.loop.Keys({ground::KeyOf('B')});
    h.loop.Wait(100).Then([&] {
      const size_t loads = h.player.loads.size();
      EXPECT_EQ(PlayMyLibrary(h.jubo), c.turned);
      EXPECT_EQ(h.jubo.selection.NonStop, c.turned == NonStopSwitch::kOn);
      EXPECT_EQ(h.jubo.playlist.SongCount, c.songs);
      EXPECT_EQ(h.jubo.selection.NonStopPool.size(), c.pool);
      EXPECT_EQ(h.player.loads.size(), loads + (c.queued == 0 && c.songs == 1 ? 1 : 0));
    });
    // The songs start (the one added, or the queued ones in turn): when the last starts, the
    // engine draws one more from the pool, while there is any.
    h.loop.Wait(c.then_ms).Then([&] {
      const bool on = c.turned == kOn;
      EXPECT_EQ(h.jubo.playlist.SongCount, c.songs + (on && c.pool > 1 ? 1 : 0));
      EXPECT_EQ(h.player.playState() == kPlaying, c.songs > 0);
      EXPECT_EQ(PlayMyLibrary(h.jubo), on ? NonStopSwitch::kOff : kNone);
      EXPECT_FALSE(h.jubo.selection.NonStop);
    });
    h.Run();
  }
}

TEST(NonStopTest, EveryEligibleSongPlaysOnceInAnOrderSpreadOverTheLibrary) {
  // 20 albums of 10 songs; one, with quotes in its title, excluded.
  FixtureLibrary library;
  for (int a = 0; a < 20; ++a) {
    std::vector<std::string> titles;
    for (int t = 0; t < 10; ++t) titles.push_back("Song " + std::to_string(a * 10 + t));
    library.Album(a == 7 ? "Rock 'n' Roll" : "Album " + std::to_string(a),
                  "Artist " + std::to_string(a), "Pop", titles);
  }
  Harness h(library);
  std::map<std::string, jubo_test::FixtureSong> song_of;  // by file
  for (const jubo_test::FixtureSong& s : h.songs) song_of[s.filename] = s;
  h.player.default_length = 1;
  h.jubo.selection.ExcludedAlbums = {"Rock 'n' Roll"};
  h.loop.Then([&] { EXPECT_EQ(PlayMyLibrary(h.jubo), NonStopSwitch::kOn); });
  h.loop.Wait(200'000).Then([&] {
    const PlaylistState& p = h.jubo.playlist;
    ASSERT_EQ(p.SongCount, 190);
    EXPECT_EQ(h.jubo.selection.NonStopDrawn, 190u);
    std::set<std::string> played, albums_first;
    for (int32_t i = 0; i < p.SongCount; ++i) {
      const PlaylistEntry& entry = p.Playlist[static_cast<size_t>(i)];
      EXPECT_EQ(h.player.loads.at(static_cast<size_t>(i)), entry.file()) << i;
      const jubo_test::FixtureSong& song = song_of[entry.file()];
      EXPECT_EQ(entry.text(), song.title + " by " + song.artist) << entry.file();
      EXPECT_NE(song.album, "Rock 'n' Roll");
      played.insert(entry.file());
      if (i < 20) albums_first.insert(song.album);
    }
    EXPECT_EQ(played.size(), 190u);
    // 20 songs in the library's order come from 2 albums; drawn at random, from about 12.
    EXPECT_GE(albums_first.size(), 8u);
  });
  h.Run();
}

}  // namespace
}  // namespace playback
