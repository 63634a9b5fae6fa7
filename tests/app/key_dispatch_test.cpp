#include "app/key_dispatch.h"

#include <gtest/gtest.h>

#include "ground/keys.h"
#include "support/harness.h"

namespace app {
namespace {

using jubo_test::Harness;

TEST(KeyDispatchTest, EscapeThenNoLeavesEverythingAsItWas) {
  Harness h;
  h.loop.Keys({ground::kKeyDown, ground::kKeyDown});
  h.loop.Then([&] { h.TakeCues(); });
  h.loop.Keys({ground::kKeyEscape})
      .Then([&] {
        EXPECT_EQ(h.jubo.dialogs.frmConfirm.lblTitle.caption, "Exit Jubo Player?");
        EXPECT_EQ(h.jubo.dialogs.frmConfirm.lblTitle2.caption, "");
        EXPECT_EQ(h.TakeCues(), std::vector<std::string>{jubo_test::kSelect});
      })
      .Keys({ground::kKeyEnter})
      .Then([&] {
        EXPECT_FALSE(h.jubo.ending);
        EXPECT_EQ(h.jubo.screen.CurrentView, screen::kViewMainMenu);
        EXPECT_EQ(h.jubo.screen.CurrentRow, 3);
        EXPECT_TRUE(h.jubo.screen.frmMain.shpHighlight.visible);
        EXPECT_EQ(h.jubo.screen.frmMain.shpHighlight.top, h.jubo.screen.frmMain.lblItem[3].top);
        EXPECT_EQ(h.display.top(), &h.jubo.screen.frmMain);
      });
  EXPECT_EQ(h.Run(), 0);
  EXPECT_FALSE(h.jubo.ending);
}

TEST(KeyDispatchTest, EscapeThenYesEndsTheProgramWithTheSaverSwitchedOn) {
  Harness h;
  h.jubo.settings.ScreensaverTimeout = 5;  // the system's saver is kept off while Jubo runs
  h.loop.Keys({ground::kKeyEscape, ground::kKeyRight, ground::kKeyEnter});
  // Nothing after the answer is taken: the program ends at once.
  h.loop.Keys({ground::kKeyDown});
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
  asking.loop.Keys({ground::kKeyEscape}).Quit().Keys({ground::kKeyDown});
  asking.program_may_end_first = true;
  EXPECT_EQ(asking.Run(), 0);
  EXPECT_EQ(asking.loop.StepsLeft(), "key 40");
  EXPECT_TRUE(asking.jubo.ending);
  EXPECT_FALSE(asking.jubo.dialogs.DialogOpen);
}

TEST(KeyDispatchTest, HotkeysAndTheIdleCount) {
  Harness h;
  h.jubo.settings.ScreensaverTimeout = 5;
  h.loop.Wait(3000).Then([&] { EXPECT_EQ(h.jubo.IdleSeconds, 3); });
  // Any key resets the idle count, even one that does nothing.
  h.loop.Keys({ground::KeyOf('Q')}).Then([&] { EXPECT_EQ(h.jubo.IdleSeconds, 0); });
  // A: the saver starts at the next tick.
  h.loop.Keys({ground::KeyOf('A')}).Then([&] { EXPECT_EQ(h.jubo.IdleSeconds, 301); });
  // L: repeat on and off, shown at the next tick.
  h.loop.Keys({ground::KeyOf('L')}).Wait(1000).Then([&] {
    EXPECT_EQ(h.jubo.settings.PlaylistLoop, 1);
    EXPECT_EQ(h.jubo.screen.frmMain.lblState2.caption, "Repeat:ON      Non-Stop Music:OFF");
  });
  h.loop.Keys({ground::KeyOf('L')}).Wait(1000).Then([&] {
    EXPECT_EQ(h.jubo.screen.frmMain.lblState2.caption, "Repeat:OFF     Non-Stop Music:OFF");
  });
  // M: back to the Main Menu, first row, from wherever the highlight was.
  h.loop.Keys({ground::kKeyDown, ground::kKeyDown, ground::KeyOf('M')}).Then([&] {
    EXPECT_EQ(h.jubo.screen.CurrentView, screen::kViewMainMenu);
    EXPECT_EQ(h.jubo.screen.CurrentRow, 1);
    EXPECT_EQ(h.jubo.screen.frmMain.lblCrumbs.caption, "");
  });
  h.Run();

  Harness no_saver;
  no_saver.loop.Wait(5000).Keys({ground::KeyOf('A')}).Then([&] {
    EXPECT_EQ(no_saver.jubo.IdleSeconds, 0);
  });
  no_saver.Run();
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
