#include "screen/layout.h"

#include <gtest/gtest.h>

namespace screen {
namespace {

TEST(LayoutTest, FourteenRowsOnEveryCommonDisplay) {
  struct Case {
    int width, height;
    float scale;
    int list_top;
  };
  const Case kCases[] = {
      {800, 600, 1.0f, 1100},  {1024, 768, 1.28f, 1408}, {1920, 1080, 1.8f, 1980},
      {1280, 720, 1.2f, 1320}, {3840, 2160, 3.6f, 3960},
  };
  for (const Case& c : kCases) {
    ScreenState s;
    LayOutScreen(s, c.width, c.height);
    EXPECT_FLOAT_EQ(s.ScreenScale, c.scale) << c.height;
    EXPECT_EQ(s.ListTop, c.list_top) << c.height;
    EXPECT_EQ(s.PageSize, 14) << c.height;
    EXPECT_EQ(s.frmMain.lblItem.size(), 15u) << c.height;
    EXPECT_EQ(s.RowValues.size(), 15u) << c.height;
  }
}

TEST(LayoutTest, ElementsStackFromTheTopPanelToTheStatusPanel) {
  ScreenState s;
  LayOutScreen(s, 800, 600);
  const MainForm& f = s.frmMain;
  EXPECT_EQ(f.width, 12000);
  EXPECT_EQ(f.lblTitle.top, 385);
  EXPECT_EQ(f.lblItem[1].top, 1100 + 420);
  EXPECT_EQ(f.lblItem[14].top + f.lblItem[14].height, 1100 + 15 * 420);
  // The hint line sits at the bottom of the list panel, below the last row.
  EXPECT_EQ(f.lblHelpBelow.top, f.shpMainPanel.top + f.shpMainPanel.height - 420);
  EXPECT_GE(f.lblHelpBelow.top, f.lblItem[14].top + f.lblItem[14].height);
  EXPECT_EQ(f.shpStatusPanel.top, f.shpMainPanel.top + f.shpMainPanel.height + 100);
  EXPECT_EQ(f.imgLogo.left + f.imgLogo.width, 12000 - 100);
  EXPECT_EQ(f.lblState2.left, f.lblState.left + f.lblState.width);
  EXPECT_FALSE(f.txtHelp.visible);
}

}  // namespace
}  // namespace screen
