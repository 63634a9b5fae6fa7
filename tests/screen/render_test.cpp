#include "screen/render.h"

#include <gtest/gtest.h>

#include "screen/layout.h"
#include "support/fakes.h"

namespace screen {
namespace {

// Crumbs that fit are the browsing sessions'; here, those that do not.
TEST(RenderTest, BreadcrumbsKeepTheLeadingAncestorsThatFitAndAlwaysTheParent) {
  ScreenState s;
  LayOutScreen(s, 800, 600);
  jubo_test::FakeTextMeasure measure;  // 10 twips a point a character
  // lblCrumbs is 12000 - 600 = 11400 twips wide at 13 points: 130 twips a character.
  struct Case {
    std::vector<std::string> titles;  // depth 1 first
    std::string crumbs;
  };
  const std::string kLong(30, 'L');
  const std::string kWide(45, 'W');
  const Case kCases[] = {
      // 87 characters fit; the parent and "...>>" take 35, leaving 52 for the trail.
      {{"Main Menu", kLong, kLong, kLong, "Title"}, "Main Menu>" + kLong + ">...>" + kLong + ">"},
      // A first ancestor too long for the room left: only the dots and the parent.
      {{kWide, kWide, kWide, kWide, "Title"}, "...>" + kWide + ">"},
  };
  for (const Case& c : kCases) {
    s.CrumbDepth = 1;
    for (const std::string& title : c.titles) {
      rendertitle(s, measure, title);
      ++s.CrumbDepth;
    }
    EXPECT_EQ(s.frmMain.lblCrumbs.caption, c.crumbs) << c.titles.back();
  }
}

TEST(RenderTest, FitToWidthShortensWithDotsOnlyWhatDoesNotFit) {
  jubo_test::FakeTextMeasure measure;
  Label box;
  box.width = 2000;  // 20 characters at 10 points
  box.points = 10;
  EXPECT_EQ(fittowidth(std::string(20, 'x'), box, measure), std::string(20, 'x'));
  // 40 characters into room for 20: 40 x 2000 / 4000 - 4 = 16 kept.
  EXPECT_EQ(fittowidth(std::string(40, 'x'), box, measure), std::string(16, 'x') + "...");
  // Characters, not bytes: each É counts once.
  EXPECT_EQ(fittowidth(std::string(20, 'a') + "ÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉ", box, measure),
            std::string(16, 'a') + "...");
  // A box narrower than the dots: nothing of the text is left, only the dots.
  box.width = 10;
  EXPECT_EQ(fittowidth("Long enough", box, measure), "...");
}

TEST(LayoutTest, FourteenRowsOnEveryCommonDisplay) {
  const std::pair<int, int> kSizes[] = {
      {800, 600}, {1024, 768}, {1920, 1080}, {1280, 720}, {3840, 2160}};
  for (const auto& [width, height] : kSizes) {
    ScreenState s;
    LayOutScreen(s, width, height);
    EXPECT_EQ(s.PageSize, 14) << width << "x" << height;
  }
}

}  // namespace
}  // namespace screen
