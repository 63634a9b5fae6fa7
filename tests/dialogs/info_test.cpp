#include "dialogs/info.h"

#include <gtest/gtest.h>

#include "ground/keys.h"
#include "support/harness.h"

namespace dialogs {
namespace {

using namespace ground;

TEST(InfoTest, OnlyEnterClosesItsOneMarkedButton) {
  const std::vector<int16_t> kOtherKeys = {kKeyEscape, kKeyLeft, kKeyRight,
                                           kKeyUp,     kKeyDown, KeyOf('M')};
  jubo_test::Harness h;
  h.loop.Then([&] { ShowInfo(h.jubo, "All Songs are", "Excluded!"); });
  h.loop.Keys(kOtherKeys).Then([&] {
    const DialogSummary shown = h.Dialog();
    EXPECT_EQ(shown.form, "frmInfo");
    EXPECT_EQ(shown.lines, (std::vector<std::string>{"All Songs are", "Excluded!"}));
    EXPECT_EQ(shown.buttons, std::vector<std::string>{"OK"});
    EXPECT_EQ(shown.selected, 1);
    EXPECT_TRUE(h.TakeCues().empty());
  });
  h.loop.Keys({kKeyEnter}).Then([&] {
    EXPECT_FALSE(h.jubo.DialogOpen);
    EXPECT_EQ(h.TakeCues(), std::vector<std::string>{jubo_test::kBeep});
  });
  h.Run();
}

}  // namespace
}  // namespace dialogs
