// The Main Menu's keys; what it shows at start-up is the screen query's test.
#include <gtest/gtest.h>

#include "ground/keys.h"
#include "support/session.h"

namespace screen {
namespace {

using namespace ground;
using namespace jubo_test;

const std::vector<std::string> kMenu = {"Select Songs by Album",
                                        "Select Songs by Artist",
                                        "Select Songs using Jubo DJ",
                                        "Turn ON Non-Stop Music",
                                        "Settings",
                                        "Help"};

TEST(MainMenuTest, StartsOnTheFirstItemAndPutsThePlaylistFirst) {
  Harness h;
  std::vector<std::string> with_songs = {"Now Playing", "Playlist Control"};
  with_songs.insert(with_songs.end(), kMenu.begin(), kMenu.end());
  with_songs[5] = "Turn OFF Non-Stop Music";
  Script(h,
         {
             // Right means nothing here. (Moving, and the refusals at either end, are every
             // menu's: the settings view's and Playlist Control's tests.)
             {.keys = {kKeyRight}, .view = kViewMainMenu, .rows = kMenu, .highlighted = kMenu[0]},
             {.keys = {kKeyEnter},
              .crumbs = "Main Menu>",
              .check =
                  [](Harness& h) {
                    h.AddSongs(1);
                    h.jubo.selection.NonStop = true;
                  }},
             // A song in the playlist brings Now Playing and Playlist Control first, the rows'
             // values moving with them.
             {.keys = {KeyOf('M')},
              .rows = with_songs,
              .check = [](Harness& h) { EXPECT_EQ(h.jubo.screen.frmMain.lblItem[8].tag, "help"); }},
         });
  EXPECT_EQ(h.Run(), 0);
}

}  // namespace
}  // namespace screen
