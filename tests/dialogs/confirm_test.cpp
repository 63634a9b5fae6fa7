#include "dialogs/confirm.h"

#include <gtest/gtest.h>

#include "dialogs/dialog_form.h"
#include "ground/keys.h"
#include "support/harness.h"

namespace dialogs {
namespace {

using namespace ground;
using jubo_test::Harness;

// The question's form is on top, the main screen's highlight hidden under it; the marked option
// (0 Yes, 1 No) is a red box with black text, the other a black box with red text.
void ExpectMarked(const Harness& h, size_t option) {
  const auto* form = dynamic_cast<const DialogForm*>(h.display.top());
  ASSERT_NE(form, nullptr);
  for (size_t i : {0, 1}) {
    EXPECT_EQ(form->shpItem[i].fill, i == option ? screen::kRed : screen::kBlack) << i;
    EXPECT_EQ(form->lblItem[i].color, i == option ? screen::kBlack : screen::kRed) << i;
  }
  EXPECT_FALSE(h.jubo.screen.frmMain.shpHighlight.visible);
}

TEST(ConfirmTest, EnterAnswersWithTheMarkedOptionNoFirst) {
  struct Case {
    std::vector<int16_t> keys;  // before Enter
    bool yes;
    size_t beeps;
  };
  const Case kCases[] = {
      {{}, false, 0},
      {{kKeyRight}, true, 1},
      {{kKeyLeft}, true, 1},
      {{kKeyLeft, kKeyLeft}, false, 2},
      // Keys the dialog does not use leave it open and the mark where it was.
      {{kKeyEscape, kKeyUp, kKeyDown, KeyOf('Y')}, false, 0},
      {{kKeyRight, kKeyEscape}, true, 1},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE("keys " + testing::PrintToString(c.keys));
    Harness h;
    bool answer = false;
    h.loop.Then([&] { answer = AskConfirm(h.jubo, "Clear Playlist?", ""); });
    h.loop.Keys(c.keys).Then([&] {
      ExpectMarked(h, c.yes ? 0 : 1);
      EXPECT_EQ(h.TakeCues().size(), c.beeps);  // none on showing, a beep for each move
    });
    h.loop.Keys({kKeyEnter}).Then([&] {
      EXPECT_FALSE(h.jubo.DialogOpen);
      EXPECT_EQ(h.display.top(), &h.jubo.screen.frmMain);
      EXPECT_TRUE(h.jubo.screen.frmMain.shpHighlight.visible);
    });
    h.Run();
    EXPECT_EQ(answer, c.yes);
  }
}

}  // namespace
}  // namespace dialogs
