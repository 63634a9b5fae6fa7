#include "dialogs/count.h"

#include <gtest/gtest.h>

#include "dialogs/dialog_form.h"
#include "ground/keys.h"
#include "support/harness.h"

namespace dialogs {
namespace {

using namespace ground;
using jubo_test::Harness;

TEST(CountTest, ArrowsChooseAndStepEnterOnDoneAccepts) {
  struct Case {
    const char* what;
    int32_t min, max, initial;
    std::vector<int16_t> keys;
    int32_t value;     // the number shown after the keys
    int16_t selected;  // the button marked: 1 "100", 2 "10", 3 "1", 4 "DONE"
    bool accepted;     // closed by the keys, answering `value`
  };
  const int16_t R = kKeyRight, L = kKeyLeft, U = kKeyUp, D = kKeyDown;
  const Case kCases[] = {
      {"321", 0, 100000, 0, {R, U, U, U, R, U, U, R, U, R, kKeyEnter}, 321, 4, true},
      {"Enter at once", 0, 10, 7, {kKeyEnter}, 7, 4, true},
      {"Down on 100 to the minimum", 0, 100000, 40, {R, D}, 0, 1, false},
      {"Up on 100 to the maximum", 0, 3600, 3550, {R, U}, 3600, 1, false},
      {"Up at the maximum", 0, 3600, 3600, {R, R, R, U, U}, 3600, 3, false},
      {"steps carry over", 0, 1000, 95, {R, R, U}, 105, 2, false},
      {"Enter on 1 leaves it open", 0, 10, 5, {L, U, kKeyEnter}, 6, 3, false},
      {"Left from 100 is DONE", 0, 10, 5, {R, L}, 5, 4, false},
      {"Right from DONE is 100", 0, 10, 5, {R}, 5, 1, false},
      {"Right from 1 is DONE", 0, 10, 5, {L, R}, 5, 4, false},
      {"Up and Down on DONE step nothing", 0, 10, 5, {U, D}, 5, 4, false},
      {"negative range", -50, -10, -20, {R, R, D, D, D}, -50, 2, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    Harness h;
    int32_t answer = -1;
    bool answered = false;
    h.loop.Then([&] {
      answer = AskCount(h.jubo, "How many songs?", c.min, c.max, c.initial);
      answered = true;
    });
    h.loop.Then([&] {
      EXPECT_EQ(h.Dialog().lines,
                (std::vector<std::string>{"How many songs?", std::to_string(c.initial)}));
      EXPECT_EQ(h.Dialog().selected, 4);
    });
    h.loop.Keys(c.keys).Then([&] {
      EXPECT_EQ(answered, c.accepted);
      // Every arrow and Enter beeps, at a limit too.
      EXPECT_EQ(h.TakeCues().size(), c.keys.size());
      if (c.accepted) return;
      EXPECT_EQ(h.Dialog().value, c.value);
      EXPECT_EQ(h.Dialog().lines[1], std::to_string(c.value));
      EXPECT_EQ(h.Dialog().selected, c.selected);
      const auto* form = dynamic_cast<const DialogForm*>(h.display.top());
      ASSERT_NE(form, nullptr);
      for (size_t button = 0; button < 4; ++button) {
        const bool marked = static_cast<int16_t>(button + 1) == c.selected;
        EXPECT_EQ(form->shpItem[button].fill, marked ? screen::kRed : screen::kBlack) << button;
        EXPECT_EQ(form->lblItem[button].color, marked ? screen::kBlack : screen::kRed) << button;
      }
    });
    h.Run();
    EXPECT_EQ(answer, c.accepted ? c.value : c.initial);  // a dialog left open gives CountInitial
  }
}

TEST(CountTest, OtherKeysDoNothing) {
  Harness h;
  h.loop.Then([&] { AskCount(h.jubo, "Timeout in minutes", 0, 60, 15); });
  h.loop.Keys({kKeyEscape, KeyOf('A'), KeyOf('M'), kKeyPageDown}).Then([&] {
    EXPECT_EQ(h.Dialog().form, "frmCount");
    EXPECT_EQ(h.Dialog().value, 15);
    EXPECT_EQ(h.Dialog().selected, 4);
    EXPECT_TRUE(h.TakeCues().empty());
  });
  h.Run();
}

}  // namespace
}  // namespace dialogs
