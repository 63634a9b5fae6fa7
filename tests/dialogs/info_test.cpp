#include "dialogs/info.h"

#include <gtest/gtest.h>

#include "dialogs/dialog_form.h"
#include "ground/keys.h"
#include "support/harness.h"

namespace dialogs {
namespace {

using namespace ground;
using jubo_test::Harness;

TEST(InfoTest, OnlyEnterClosesIt) {
  struct Case {
    std::vector<int16_t> keys;
    bool closed;
  };
  const Case kCases[] = {
      {{kKeyEnter}, true},
      {{kKeyEscape, kKeyLeft, kKeyRight, kKeyUp, kKeyDown, KeyOf('M'), KeyOf('X')}, false},
      {{kKeyEscape, kKeyEnter}, true},
  };
  for (const Case& c : kCases) {
    Harness h;
    const std::string what = std::to_string(c.keys.size()) + " keys";
    bool closed = false;
    h.loop.Then([&] {
      ShowInfo(h.jubo, "All Songs are", "Excluded!");
      closed = true;
    });
    h.loop.Then([&] {
      EXPECT_EQ(h.Dialog().form, "frmInfo");
      EXPECT_EQ(h.Dialog().lines, (std::vector<std::string>{"All Songs are", "Excluded!"}));
      EXPECT_EQ(h.Dialog().buttons, std::vector<std::string>{"OK"});
      // Its one button shows marked: a red box with black text.
      const auto* form = dynamic_cast<const DialogForm*>(h.display.top());
      ASSERT_NE(form, nullptr);
      EXPECT_EQ(form->shpItem[0].fill, screen::kRed);
      EXPECT_EQ(form->lblItem[0].color, screen::kBlack);
    });
    h.loop.Keys(c.keys).Then([&] {
      EXPECT_EQ(closed, c.closed) << what;
      EXPECT_EQ(h.jubo.DialogOpen, !c.closed) << what;
      // Enter beeps; nothing else makes a sound.
      EXPECT_EQ(h.TakeCues(),
                c.closed ? std::vector<std::string>{jubo_test::kBeep} : std::vector<std::string>{})
          << what;
    });
    h.Run();
  }
}

}  // namespace
}  // namespace dialogs
