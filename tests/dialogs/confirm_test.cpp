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
    EXPECT_TRUE(h.jubo.screen.frmMain.shpHighlight.visible);  // hidden while it was open
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

// The marked option is a red box with black text, the other a black box with red text; the
// question's text is the screen query's test.
TEST(ConfirmTest, ShowsTheQuestionWithNoMarkedAndTheHighlightHidden) {
  Harness h;
  auto marked = [&h](size_t option, size_t cues) {  // 0 Yes, 1 No
    return [&h, option, cues] {
      const auto* form = dynamic_cast<const DialogForm*>(h.display.top());
      ASSERT_NE(form, nullptr);
      for (size_t i : {0, 1}) {
        EXPECT_EQ(form->shpItem[i].fill, i == option ? screen::kRed : screen::kBlack) << i;
        EXPECT_EQ(form->lblItem[i].color, i == option ? screen::kBlack : screen::kRed) << i;
      }
      EXPECT_FALSE(h.jubo.screen.frmMain.shpHighlight.visible);
      EXPECT_EQ(h.TakeCues().size(), cues);  // none on showing, a beep on moving
    };
  };
  h.loop.Then([&] { AskConfirm(h.jubo, "Add album", "to Playlist?"); });
  h.loop.Then(marked(1, 0)).Keys({kKeyLeft}).Then(marked(0, 1)).Keys({kKeyEnter});
  h.Run();
}

}  // namespace
}  // namespace dialogs
