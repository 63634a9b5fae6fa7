#include "dialogs/count.h"

#include <gtest/gtest.h>

#include "ground/keys.h"
#include "support/harness.h"

namespace dialogs {
namespace {

using namespace ground;

TEST(CountTest, ArrowsChooseAndStepEnterOnDoneAccepts) {
  struct Case {
    const char* what;
    int32_t max, initial;  // the minimum is 0
    std::vector<int16_t> keys;
    int32_t value;     // the number after the keys (the screen query's test shows it shown), the
                       // answer once accepted
    int16_t selected;  // the button marked: 1 "100", 2 "10", 3 "1", 4 "DONE"
    bool accepted;
  };
  const int16_t R = kKeyRight, L = kKeyLeft, U = kKeyUp, D = kKeyDown, E = kKeyEnter;
  const Case kCases[] = {
      {"321", 100000, 0, {R, U, U, U, R, U, U, R, U, R, E}, 321, 4, true},
      {"Down on 100 to the minimum", 100000, 40, {R, D}, 0, 1, false},
      {"Up on 100 to the maximum, and at it", 3600, 3550, {R, U, U}, 3600, 1, false},
      {"steps carry over", 1000, 95, {R, R, U}, 105, 2, false},
      {"Enter on 1 leaves it open", 10, 5, {L, U, E}, 6, 3, false},
      {"Left from 100 is DONE, where Up and Down step nothing", 10, 5, {R, L, U, D}, 5, 4, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    jubo_test::Harness h;
    int32_t answer = -1;
    h.loop.Then([&] { answer = AskCount(h.jubo, "How many songs?", 0, c.max, c.initial); });
    h.loop.Keys(c.keys).Then([&] {
      EXPECT_EQ(h.jubo.DialogOpen, !c.accepted);
      EXPECT_EQ(h.TakeCues().size(), c.keys.size());  // every key beeps, at a limit too
      if (c.accepted) return;
      EXPECT_EQ(h.Dialog().value, c.value);
      EXPECT_EQ(h.Dialog().selected, c.selected);
    });
    h.Run();
    // A dialog the script leaves open ends with the program, answering CountInitial.
    EXPECT_EQ(answer, c.accepted ? c.value : c.initial);
  }
}

}  // namespace
}  // namespace dialogs
