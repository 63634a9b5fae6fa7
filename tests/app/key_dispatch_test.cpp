#include "app/key_dispatch.h"

#include <gtest/gtest.h>

#include "ground/keys.h"
#include "support/session.h"

namespace app {
namespace {

using namespace ground;
using jubo_test::Harness;

TEST(KeyDispatchTest, EscapeThenNoLeavesEverythingAsItWas) {
  Harness h;
  Script(h, {{.keys = {kKeyDown, kKeyDown, kKeyEscape},
              .question = "Exit Jubo Player?\n",
              .cues = {jubo_test::kBeep, jubo_test::kBeep, jubo_test::kSelect}},
             {.keys = {kKeyEnter},
              .view = screen::kViewMainMenu,
              .highlighted = "Select Songs using Jubo DJ",
              .check = [](Harness& h) {
                EXPECT_FALSE(h.jubo.ending);
                EXPECT_EQ(h.display.top(), &h.jubo.screen.frmMain);
              }}});
  EXPECT_EQ(h.Run(), 0);
}

TEST(KeyDispatchTest, EscapeThenYesEndsTheProgramWithTheSaverSwitchedOn) {
  Harness h;
  h.jubo.settings.ScreensaverTimeout = 5;  // the system's saver is kept off while Jubo runs
  h.loop.Keys({kKeyEscape, kKeyRight, kKeyEnter});
  // Nothing after the answer is taken: the program ends at once.
  h.loop.Keys({kKeyDown});
  h.program_may_end_first = true;
  EXPECT_EQ(h.Run(), 0);
  EXPECT_TRUE(h.jubo.ending);
  EXPECT_EQ(h.loop.StepsLeft(), "key 40");
  EXPECT_EQ(h.display.system_saver, (std::vector<bool>{false, true}));
}

TEST(KeyDispatchTest, AWindowCloseOrSignalEndsWithoutTheQuestion) {
  Harness h;
  h.loop.Quit();
  EXPECT_EQ(h.Run(), 0);
  EXPECT_TRUE(h.jubo.ending);
  EXPECT_EQ(h.display.system_saver.back(), true);

  // Even from inside a question.
  Harness asking;
  asking.loop.Keys({kKeyEscape}).Quit().Keys({kKeyDown});
  asking.program_may_end_first = true;
  EXPECT_EQ(asking.Run(), 0);
  EXPECT_EQ(asking.loop.StepsLeft(), "key 40");
  EXPECT_FALSE(asking.jubo.DialogOpen);
}

TEST(KeyDispatchTest, HotkeysAndTheIdleCount) {
  for (int16_t minutes : {5, 0}) {
    Harness h;
    h.jubo.settings.ScreensaverTimeout = minutes;
    auto idle = [](int seconds) {
      return [seconds](Harness& h) { EXPECT_EQ(h.jubo.IdleSeconds, seconds); };
    };
    Script(h, {
                  {.wait_ms = 3000, .check = idle(minutes == 0 ? 0 : 3)},
                  // Any key resets the idle count, even one that does nothing.
                  {.keys = {KeyOf('Q')}, .check = idle(0)},
                  // A: the saver starts at the next tick; without a saver, never.
                  {.keys = {KeyOf('A')}, .check = idle(minutes == 0 ? 0 : 301)},
                  {.keys = {KeyOf('L')},
                   .check = [](Harness& h) { EXPECT_EQ(h.jubo.settings.PlaylistLoop, 1); }},
                  {.keys = {KeyOf('L')},
                   .check = [](Harness& h) { EXPECT_EQ(h.jubo.settings.PlaylistLoop, 0); }},
              });
    h.Run();
  }
}

TEST(KeyDispatchTest, AClickShowsThePointerAndAnotherHidesIt) {
  Harness h;
  h.loop.Then([&] { EXPECT_FALSE(h.display.pointer_visible); })
      .Click()
      .Then([&] { EXPECT_TRUE(h.display.pointer_visible); })
      .Click()
      .Then([&] { EXPECT_FALSE(h.display.pointer_visible); });
  h.Run();
}

}  // namespace
}  // namespace app
