#include "screen/layout.h"

#include <gtest/gtest.h>

namespace screen {
namespace {

TEST(LayoutTest, FourteenRowsOnEveryCommonDisplay) {
  struct Case {
    int width, height;
  };
  const Case kCases[] = {{800, 600}, {1024, 768}, {1920, 1080}, {1280, 720}, {3840, 2160}};
  for (const Case& c : kCases) {
    ScreenState s;
    LayOutScreen(s, c.width, c.height);
    EXPECT_EQ(s.PageSize, 14) << c.height;
    EXPECT_EQ(s.frmMain.lblItem.size(), 15u) << c.height;
    EXPECT_EQ(s.RowValues.size(), 15u) << c.height;
  }
}

}  // namespace
}  // namespace screen
