#include <gtest/gtest.h>

#include "ground/keys.h"
#include "screen/navigation.h"
#include "support/harness.h"

namespace screen {
namespace {

using ground::kKeyDown;
using ground::kKeyEnter;
using ground::kKeyRight;
using ground::kKeyUp;
using jubo_test::Harness;
using jubo_test::kBeep;
using jubo_test::kError;

const std::vector<std::string> kMenu = {"Select Songs by Album",
                                        "Select Songs by Artist",
                                        "Select Songs using Jubo DJ",
                                        "Turn ON Non-Stop Music",
                                        "Settings",
                                        "Help"};

std::vector<std::string> Page(std::vector<std::string> rows) {
  rows.resize(14);
  return rows;
}

TEST(MainMenuTest, StartsOnTheFirstItemAndNeverWraps) {
  Harness h;
  h.loop
      .Then([&] {
        EXPECT_EQ(h.jubo.screen.CurrentView, kViewMainMenu);
        EXPECT_EQ(h.jubo.screen.frmMain.lblTitle.caption, "Main Menu");
        EXPECT_EQ(h.jubo.screen.frmMain.lblCrumbs.caption, "");
        EXPECT_EQ(h.jubo.screen.frmMain.lblHelpAbove.caption, "");
        EXPECT_EQ(h.jubo.screen.frmMain.lblHelpBelow.caption,
                  "[Up/Down = Scroll] [Enter/OK = Select Item]");
        EXPECT_EQ(h.Rows(), Page(kMenu));
        EXPECT_EQ(h.HighlightedRow(), "Select Songs by Album");
        EXPECT_TRUE(h.jubo.screen.frmMain.shpHighlight.visible);
      })
      .Keys({kKeyUp})
      .Then([&] {
        EXPECT_EQ(h.jubo.screen.CurrentRow, 1);
        EXPECT_EQ(h.TakeCues(), std::vector<std::string>{kError});
      })
      .Keys({kKeyDown, kKeyDown, kKeyDown, kKeyDown, kKeyDown})
      .Then([&] {
        EXPECT_EQ(h.HighlightedRow(), "Help");
        EXPECT_EQ(h.TakeCues(), std::vector<std::string>(5, kBeep));
      })
      .Keys({kKeyDown, kKeyRight})
      .Then([&] {
        EXPECT_EQ(h.HighlightedRow(), "Help");
        EXPECT_EQ(h.jubo.screen.frmMain.shpHighlight.top, h.jubo.screen.frmMain.lblItem[6].top);
        // Down past the last item is refused; Right means nothing here.
        EXPECT_EQ(h.TakeCues(), std::vector<std::string>{kError});
      })
      .Keys({kKeyEnter})  // Help, whose view is not there yet
      .Then([&] {
        EXPECT_EQ(h.jubo.screen.CrumbDepth, 1);
        EXPECT_EQ(h.TakeCues(), std::vector<std::string>{kError});
      });
  EXPECT_EQ(h.Run(), 0);
}

TEST(MainMenuTest, ASongInThePlaylistBringsNowPlayingAndPlaylistControlFirst) {
  Harness h;
  h.loop.Then([&] {
    h.jubo.playlist.SongCount = 1;
    h.jubo.selection.NonStop = true;
    ShowMainMenu(h.jubo, 1);
    std::vector<std::string> rows = {"Now Playing", "Playlist Control"};
    rows.insert(rows.end(), kMenu.begin(), kMenu.end());
    rows[5] = "Turn OFF Non-Stop Music";
    EXPECT_EQ(h.Rows(), Page(rows));
    EXPECT_EQ(h.jubo.screen.frmMain.lblItem[1].tag, "list");
    EXPECT_EQ(h.jubo.screen.frmMain.lblItem[8].tag, "help");
  });
  h.Run();
}

}  // namespace
}  // namespace screen
