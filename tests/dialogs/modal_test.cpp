#include "dialogs/modal.h"

#include <gtest/gtest.h>

#include <functional>

#include "dialogs/confirm.h"
#include "dialogs/count.h"
#include "dialogs/info.h"
#include "ground/keys.h"
#include "support/harness.h"

namespace dialogs {
namespace {

using namespace ground;
using jubo_test::Harness;

// Every dialog left alone gives its own answer just before the saver would start (the 121st
// second of a two-minute saver), whatever its keys had changed; without a saver it waits.
TEST(ModalTest, ADialogLeftAloneClosesJustBeforeTheSaverWouldStart) {
  struct Case {
    const char* what;
    std::function<int32_t(Harness&)> ask;  // shows the dialog, returns its answer
    std::vector<int16_t> keys;
    int32_t answer;
  };
  const Case kCases[] = {
      {"confirm, Yes marked",
       [](Harness& h) { return int{AskConfirm(h.jubo, "Shuffle", "")}; },
       {kKeyLeft},
       0},
      {"count, 100 added",
       [](Harness& h) { return AskCount(h.jubo, "How many?", 0, 999, 20); },
       {kKeyRight, kKeyUp},
       20},
      {"info",
       [](Harness& h) {
         ShowInfo(h.jubo, "All Songs are", "Excluded!");
         return 0;
       },
       {},
       0},
  };
  for (const Case& c : kCases) {
    for (int16_t minutes : {2, 0}) {
      SCOPED_TRACE(std::string(c.what) + ", saver after " + std::to_string(minutes) + " min");
      Harness h;
      h.jubo.settings.ScreensaverTimeout = minutes;
      int32_t answer = -1, idle = -1;  // idle: the idle count when it closed
      h.loop.Then([&] {
        answer = c.ask(h);
        idle = h.jubo.IdleSeconds;
      });
      h.loop.Keys(c.keys).Wait(minutes == 0 ? 24 * 3600 * 1000 : 119'000).Then([&] {
        EXPECT_TRUE(h.jubo.DialogOpen);
      });
      if (minutes != 0) {
        h.loop.Wait(3'000).Then([&] {
          EXPECT_FALSE(h.jubo.DialogOpen);
          EXPECT_EQ(answer, c.answer);
          EXPECT_EQ(idle, 121);
        });
      }
      h.Run();
    }
  }
}

}  // namespace
}  // namespace dialogs
