// Jubo DJ, the exclusion editor and Non-Stop Music as a user meets them: marking genres, tempos,
// albums and artists, generating, the marks carried into the editor, and the switch.
#include <gtest/gtest.h>

#include "ground/keys.h"
#include "settings/store.h"
#include "support/session.h"

namespace screen {
namespace {

using namespace ground;
using jubo_test::Harness;
using jubo_test::kBeep;
using jubo_test::kSelect;

const std::vector<std::string> kCriteria = {"Choose Albums", "Choose Artists", "Choose Genres",
                                            "Choose Tempos", "Generate Playlist"};

// Jazz marked, then Blue Hour among the albums: two songs asked, of Blue Hour's three.
TEST(CriteriaViewsTest, JuboDJGeneratesFromWhatIsMarked) {
  Harness h;
  Script(h,
         {
             {.keys = {kKeyDown, kKeyDown, kKeyEnter},
              .view = kViewCriteria,
              .title = "Jubo DJ",
              .below = "[Left = Back] [Up/Down = Scroll] [Enter/OK = Select Item]",
              .rows = kCriteria},
             {.keys = {kKeyDown, kKeyDown, kKeyEnter, kKeyDown, kKeyEnter},
              .view = kViewCriteriaSelect,
              .title = "Select Genres",
              .above = "Displaying 1 to 3 of 3 Items",
              .rows = {"Blues", "Jazz", "Rock"},
              .icons = {-1, kIconSelected, -1},
              .highlighted = "Jazz",
              .cues = {kBeep, kBeep, kBeep, kBeep, kSelect}},
             {.keys = {kKeyEnter}, .icons = {-1, -1, -1}},
             {.keys = {kKeyEnter, kKeyLeft}, .view = kViewCriteria, .highlighted = "Choose Genres"},
             // Albums beginning with B, marked in the choosing list; Left back to the criteria.
             {.keys = {kKeyUp, kKeyUp, kKeyEnter, kKeyRight, kKeyRight},
              .view = kViewAlbumsChoosing,
              .rows = {"bee sides", "Blue Hour"}},
             {.keys = {kKeyDown, kKeyEnter},
              .icons = {kIconSingleCD, kIconSelected},
              .highlighted = "Blue Hour",
              .cues = {kBeep, kSelect}},
             {.keys = {kKeyLeft, kKeyLeft, kKeyLeft},
              .view = kViewCriteria,
              .highlighted = "Choose Albums"},
             {.keys = {kKeyDown, kKeyDown, kKeyDown, kKeyDown, kKeyEnter},
              .question = "How many songs?\n0"},
             // Two ones, then DONE: two of the three songs, drawn at random, and playing.
             {.keys = {kKeyLeft, kKeyUp, kKeyUp, kKeyRight, kKeyEnter},
              .wait_ms = 100,
              .view = kViewMainMenu,
              .highlighted = "Now Playing",
              .check =
                  [](Harness& h) {
                    EXPECT_EQ(h.jubo.playlist.SongCount, 2);
                    for (const std::string& entry : jubo_test::Entries(h)) {
                      EXPECT_NE(entry.find("by O'Dara"), std::string::npos) << entry;
                    }
                    EXPECT_EQ(h.player.playState(), playback::kPlaying);
                    EXPECT_TRUE(h.jubo.selection.ChosenAlbums.empty());
                  }},
         });
  h.Run();
}

// Marks made in Jubo DJ and left there show in the editor beside the stored exclusions; Clear
// changes nothing stored; Left makes the marks the exclusions and comes back to Settings.
TEST(CriteriaViewsTest, TheExclusionEditorTakesTheMarksAndKeepsThemOnLeft) {
  Harness h;
  h.loop.Then([&] { h.jubo.selection.ExcludedTempos = {"Fast"}; });
  Script(h, {
                // Jubo DJ's tempos: Slow marked, then Left to the Main Menu.
                {.keys = {kKeyDown, kKeyDown, kKeyEnter, kKeyDown, kKeyDown, kKeyDown, kKeyEnter,
                          kKeyDown, kKeyDown, kKeyEnter, kKeyLeft, kKeyLeft, KeyOf('V'), kKeyDown,
                          kKeyDown, kKeyDown, kKeyEnter},
                 .view = kViewCriteria,
                 .title = "Exclusions for Non-Stop Music",
                 .crumbs = "Main Menu>Jubo Player Settings>",
                 .rows = {"Choose Albums to Exclude", "Choose Artists to Exclude",
                          "Choose Genres to Exclude", "Choose Tempos to Exclude",
                          "Clear All Exclusions"}},
                {.keys = {kKeyDown, kKeyDown, kKeyDown, kKeyEnter},
                 .title = "Select Tempo",
                 .rows = {"Fast", "Medium", "Slow"},
                 .icons = {kIconSelected, -1, kIconSelected}},
                {.keys = {kKeyLeft, kKeyDown, kKeyEnter},
                 .highlighted = "Clear All Exclusions",
                 .check =
                     [](Harness& h) {
                       EXPECT_EQ(h.jubo.selection.ExcludedTempos, std::vector<std::string>{"Fast"});
                     }},
                {.keys = {kKeyUp, kKeyEnter, kKeyEnter, kKeyLeft, kKeyLeft},
                 .view = kViewSettings,
                 .highlighted = "Screen Saver Type: Visualization",
                 .check =
                     [](Harness& h) {
                       EXPECT_EQ(h.jubo.selection.ExcludedTempos, std::vector<std::string>{"Fast"});
                       EXPECT_FALSE(h.jubo.selection.TempoSelected[0]);
                     }},
            });
  h.Run();
}

// Non-Stop Music from the Main Menu and with G; everything excluded is told and leaves it off.
TEST(CriteriaViewsTest, NonStopFromTheMenuAndG) {
  Harness h;
  const std::string& state = h.jubo.screen.frmMain.lblState2.caption;
  Script(h, {
                {.keys = {kKeyDown, kKeyDown, kKeyDown, kKeyEnter},
                 .wait_ms = 100,
                 .view = kViewNowPlaying,
                 .check =
                     [&state](Harness& h) {
                       // One drawn and playing, and the next drawn as it starts, the last.
                       EXPECT_EQ(h.jubo.playlist.SongCount, 2);
                       EXPECT_EQ(h.player.playState(), playback::kPlaying);
                       EXPECT_NE(state.find("Non-Stop Music:ON"), std::string::npos) << state;
                     }},
                {.keys = {KeyOf('M'), KeyOf('G')},
                 .view = kViewMainMenu,
                 .highlighted = "Now Playing",
                 .check =
                     [&state](Harness& h) {
                       EXPECT_EQ(h.Rows()[5], "Turn ON Non-Stop Music");
                       EXPECT_NE(state.find("Non-Stop Music:OFF"), std::string::npos) << state;
                       h.jubo.selection.ExcludedGenres = {"Blues", "Jazz", "Rock"};
                     }},
                {.keys = {KeyOf('G')}, .question = "All Songs are\nExcluded!"},
                {.keys = {kKeyEnter},
                 .check = [](Harness& h) { EXPECT_FALSE(h.jubo.selection.NonStop); }},
            });
  h.Run();
}

}  // namespace
}  // namespace screen
