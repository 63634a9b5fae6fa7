#include <gtest/gtest.h>

#include <tuple>

#include "ground/keys.h"
#include "support/session.h"

namespace screen {
namespace {

using namespace ground;
using namespace jubo_test;

// The text from `line` on; with `help`, shown instead of the rows and of the highlight.
std::function<void(Harness&)> At(int line, bool help = true) {
  return [=](Harness& h) {
    const MainForm& f = h.jubo.screen.frmMain;
    EXPECT_EQ(std::tuple(f.txtHelp.first_line, f.txtHelp.visible, f.shpHighlight.visible,
                         h.Rows()[0].empty()),
              std::tuple(line, help, !help, help));
  };
}

TEST(HelpViewTest, ScrollsAPageAtATimeWithinTheTextAndKeepsItsPlace) {
  Harness h;
  // At 800x600 the box shows 16 lines of 68 characters: the heading, a blank line, 60 words
  // wrapped to 5 lines and 33 blank ones make 40, so the text ends with line 24 at the top.
  std::string words;
  for (int i = 0; i < 60; ++i) words += "word ";
  h.dir.Write("help.txt", words + std::string(34, '\n'));
  Script(h, {
                {.keys = {kKeyDown, kKeyDown, kKeyDown, kKeyDown, kKeyDown, kKeyEnter},
                 .title = "Help Information",
                 .crumbs = "Main Menu>",
                 .below = "[Left = Back] [Up/Down = Scroll]",
                 .check = At(0)},
                {.keys = {kKeyUp}, .check = At(0)},
                {.keys = {kKeyDown}, .check = At(15)},
                {.keys = {kKeyDown, kKeyDown}, .check = At(24)},
                // Right and Enter do nothing, and scrolling is silent: Left's is the one cue.
                {.keys = {kKeyRight, kKeyEnter, kKeyUp, kKeyLeft},
                 .highlighted = "Help",
                 .cues = {kBeep},
                 .check = At(9, false)},
                {.keys = {kKeyEnter}, .check = At(9)},
                // M and V leave it as Left does.
                {.keys = {KeyOf('M')}, .check = At(9, false)},
                {.keys = {kKeyDown, kKeyDown, kKeyDown, kKeyDown, kKeyDown, kKeyEnter, KeyOf('V')},
                 .check = At(9, false)},
            });
  EXPECT_EQ(h.Run(), 0);
}

}  // namespace
}  // namespace screen
