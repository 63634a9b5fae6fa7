#include "dialogs/confirm.h"

#include <gtest/gtest.h>

#include "dialogs/dialog_form.h"
#include "ground/keys.h"
#include "support/harness.h"

namespace dialogs {
namespace {

using namespace ground;
using jubo_test::Harness;

// Asks a question from inside the running program, answers it with `keys`, returns the answer.
bool Ask(Harness& h, std::initializer_list<int16_t> keys) {
  bool answer = false;
  h.loop.Then([&] { answer = AskConfirm(h.jubo, "Clear Playlist?", ""); });
  h.loop.Keys(keys);
  h.loop.Then([&] {
    EXPECT_FALSE(h.jubo.DialogOpen);
    EXPECT_EQ(h.display.top(), &h.jubo.screen.frmMain);
  });
  h.Run();
  return answer;
}

TEST(ConfirmTest, EnterAnswersWithTheMarkedOptionNoFirst) {
  struct Case {
    std::initializer_list<int16_t> keys;
    bool yes;
  };
  const Case kCases[] = {
      {{kKeyEnter}, false},
      {{kKeyRight, kKeyEnter}, true},
      {{kKeyLeft, kKeyEnter}, true},
      {{kKeyLeft, kKeyLeft, kKeyEnter}, false},
      // Keys the dialog does not use leave it open and the mark where it was.
      {{kKeyEscape, kKeyUp, kKeyDown, KeyOf('Y'), kKeyEnter}, false},
      {{kKeyRight, kKeyEscape, kKeyEnter}, true},
  };
  for (const Case& c : kCases) {
    Harness h;
    EXPECT_EQ(Ask(h, c.keys), c.yes) << "after " << c.keys.size() << " keys";
  }
}

TEST(ConfirmTest, ShowsTheQuestionWithNoMarkedAndTheHighlightHidden) {
  Harness h;
  const DialogForm* form = nullptr;
  h.loop.Then([&] { AskConfirm(h.jubo, "Add album", "to Playlist?"); });
  h.loop
      .Then([&] {
        form = dynamic_cast<const DialogForm*>(h.display.top());
        ASSERT_NE(form, nullptr);
        EXPECT_TRUE(h.jubo.DialogOpen);
        EXPECT_EQ(form->lblTitle.caption, "Add album");
        EXPECT_EQ(form->lblTitle2.caption, "to Playlist?");
        EXPECT_FALSE(h.jubo.screen.frmMain.shpHighlight.visible);
        // Marked: a red box with black text; unmarked: a black box with red text.
        EXPECT_EQ(form->shpItem[1].fill, screen::kRed);
        EXPECT_EQ(form->lblItem[1].color, screen::kBlack);
        EXPECT_EQ(form->shpItem[0].fill, screen::kBlack);
        EXPECT_EQ(form->lblItem[0].color, screen::kRed);
        EXPECT_EQ(h.TakeCues(), std::vector<std::string>{});
      })
      .Keys({kKeyLeft})
      .Then([&] {
        EXPECT_EQ(form->shpItem[0].fill, screen::kRed);
        EXPECT_EQ(form->shpItem[1].fill, screen::kBlack);
        EXPECT_EQ(h.TakeCues(), std::vector<std::string>{jubo_test::kBeep});
      })
      .Keys({kKeyEnter})
      .Then([&] { EXPECT_TRUE(h.jubo.screen.frmMain.shpHighlight.visible); });
  h.Run();
}

}  // namespace
}  // namespace dialogs
