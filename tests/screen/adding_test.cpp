// Putting music into the playlist from the browse views: the questions, what each Enter adds
// and in which order, the track list's toggle, and playback starting when nothing had been
// chosen to play.
#include <gtest/gtest.h>

#include "ground/keys.h"
#include "support/session.h"

namespace screen {
namespace {

using namespace ground;
using namespace jubo_test;

TEST(AddingTest, EnterAddsWhatTheRowHoldsAndTheTracksShowEachSongsFirstPlace) {
  FixtureLibrary library;
  library.Album("Zed Album", "Zed", "Rock", {"Z1", "Z2"})
      .Album("Blue Hour", "O'Dara", "Jazz", {"Intro", "Night", "Outro"});
  Harness h(library);
  const std::string kIntro = "Intro by O'Dara", kNight = "Night by O'Dara",
                    kOutro = "Outro by O'Dara";
  Script(
      h,
      {
          {.keys = {kKeyEnter, kKeyEnter},
           .question = "Add selection\nto Playlist?",
           .cues = {kBeep, kSelect}},
          {.keys = {kKeyEnter},  // No
           .view = kViewAlbumGenres,
           .cues = {kBeep},
           .check = [](Harness& h) { EXPECT_EQ(h.jubo.playlist.SongCount, 0); }},
          // Jazz, B, Blue Hour: a song of an empty playlist starts; the highlight stays on its row.
          // The select cue sounds before the song starts: cues are silent only while it plays.
          {.keys = {kKeyDown, kKeyRight, kKeyRight, kKeyRight}, .view = kViewTracks},
          {.keys = {kKeyDown, kKeyEnter},
           .rows = {"1 Intro by O'Dara", "2 Night by O'Dara (1)", "3 Outro by O'Dara"},
           .icons = {kIconTrack, kIconSelected, kIconTrack},
           .highlighted = "2 Night by O'Dara (1)",
           .cues = {kBeep, kSelect},
           .playlist = {kNight},
           .check =
               [](Harness& h) { EXPECT_EQ(h.player.URL(), "/music/O'Dara/Blue Hour/02.ogg"); }},
          // The status panel's song line follows each change of the list within 10 ms (here the
          // song starting shows it).
          {.keys = {kKeyDown, kKeyEnter},
           .wait_ms = 10,
           .rows = {"1 Intro by O'Dara", "2 Night by O'Dara (1)", "3 Outro by O'Dara (2)"},
           .track = "Song: Night (1 of 2)"},
          // Taking a song out takes its mark and place off the row; the playing one gives way to
          // the next.
          {.keys = {kKeyUp, kKeyEnter},
           .wait_ms = 10,
           .rows = {"1 Intro by O'Dara", "2 Night by O'Dara", "3 Outro by O'Dara (1)"},
           .icons = {kIconTrack, kIconTrack, kIconSelected},
           .playlist = {kOutro},
           .track = "Song: Outro (1 of 1)"},
          // The album twice: each song twice, the track list showing the first place.
          {.keys = {kKeyLeft, kKeyEnter, kKeyRight, kKeyEnter, kKeyEnter, kKeyRight, kKeyEnter},
           .wait_ms = 10,
           .playlist = {kOutro, kIntro, kNight, kOutro, kIntro, kNight, kOutro},
           .track = "Song: Outro (1 of 7)"},
          {.keys = {kKeyRight},
           .title = "Blue Hour",
           .rows = {"1 Intro by O'Dara (2)", "2 Night by O'Dara (3)", "3 Outro by O'Dara (1)"},
           .icons = {kIconSelected, kIconSelected, kIconSelected}},
          // A song added twice goes from its first place.
          {.keys = {kKeyEnter},
           .wait_ms = 10,
           .highlighted = "1 Intro by O'Dara (4)",
           .track = "Song: Outro (1 of 6)"},
          // All Albums: every song, by album and track; the view and the highlight stay.
          {.keys = {kKeyLeft, kKeyLeft, kKeyLeft, kKeyUp, kKeyEnter, kKeyRight, kKeyEnter},
           .view = kViewAlbumGenres,
           .highlighted = "All Albums",
           .playlist = {kOutro, kNight, kOutro, kIntro, kNight, kOutro, kIntro, kNight, kOutro,
                        "Z1 by Zed", "Z2 by Zed"},
           .check =
               [](Harness& h) {
                 EXPECT_EQ(h.jubo.library.rsAddSongs.State(), textdb::Cursor::kStateClosed);
               }},
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
  Script(h, {
                {.keys = {kKeyEnter, kKeyRight, kKeyRight},  // the album's row is shortened
                 .check = [](Harness& h) { EXPECT_TRUE(h.Rows()[0].ends_with("...")); }},
                {.keys = {kKeyEnter, kKeyRight, kKeyEnter, kKeyRight},
                 .check =
                     [](Harness& h) {
                       const std::string row = h.Rows()[0];
                       EXPECT_EQ(h.jubo.playlist.SongCount, 1);
                       EXPECT_EQ(row.substr(row.size() - 7), "... (1)") << row;
                       EXPECT_LE(h.measure.WidthTwips(row, 16, false),
                                 h.jubo.screen.frmMain.lblItem[0].width);
                     }},
            });
  h.Run();
}

}  // namespace
}  // namespace screen
