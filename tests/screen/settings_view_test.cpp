#include <gtest/gtest.h>

#include "ground/keys.h"
#include "settings/key_tree.h"
#include "support/harness.h"

namespace screen {
namespace {

using ground::KeyOf;
using jubo_test::kBeep;
using jubo_test::kError;
using settings::KeyPathOf;
using namespace ground;

const std::string kPlayer = "HKEY_CURRENT_USER\\Software\\Tarvento\\Jubo_Player\\";

TEST(SettingsViewTest, EnterChangesTheSettingsInPlaceAndLeftOrTheExitSavesThem) {
  jubo_test::Harness h;
  settings::MemoryStore store;
  h.jubo.store = &store;
  // The harness's cue files, assigned where the program reads them.
  for (auto [event, file] :
       {std::pair{"KX_Beep", kBeep}, {"KX_Select", jubo_test::kSelect}, {"KX_Error", kError}}) {
    store.keys.Set(
        KeyPathOf(std::string("HKEY_CURRENT_USER\\AppEvents\\Schemes\\Apps\\Tarvento\\") + event +
                  "\\.current"),
        "", {settings::REG_SZ, file, 0, {}});
  }
  store.keys.Set(KeyPathOf(kPlayer + "Screensaver"), "Type", {settings::REG_DWORD, "", 2, {}});
  store.keys.Set(KeyPathOf(kPlayer + "Screensaver"), "Timeout", {settings::REG_DWORD, "", 1, {}});
  auto stored = [&store](const char* key, const char* name) {
    const settings::RegValue* value = store.keys.Find(KeyPathOf(kPlayer + key), name);
    return value == nullptr ? -1 : value->number;
  };
  auto shows = [&h](const std::string& caption) {
    return [&h, caption] { EXPECT_EQ(h.HighlightedRow(), caption); };
  };

  h.loop.Keys(kKeyDown, 4).Keys({kKeyEnter}).Then([&] {
    std::vector<std::string> rows = {"Screen Saver Type: Logo", "Screen Saver Timeout: 1 min",
                                     "Action on Corrupt Song: Skip to Next Song",
                                     "Exclusions for Non-Stop Music"};
    rows.resize(14);
    EXPECT_EQ(h.Rows(), rows);
    EXPECT_EQ(h.jubo.screen.frmMain.lblTitle.caption, "Jubo Player Settings");
    EXPECT_FALSE(h.jubo.screen.frmMain.lblHelpAbove.visible);
  });
  h.loop.Keys({kKeyLeft}).Then(shows("Settings"));
  // V from two steps in: Settings under the Main Menu, whatever the path was.
  h.loop.Keys({kKeyUp, kKeyUp, kKeyUp, kKeyUp, kKeyEnter, kKeyRight, KeyOf('V')}).Then([&] {
    EXPECT_EQ(h.jubo.screen.frmMain.lblCrumbs.caption, "Main Menu>");
    h.TakeCues();
  });
  h.loop.Keys({kKeyEnter}).Then(shows("Screen Saver Type: Blank Screen"));
  h.loop.Keys({kKeyEnter}).Then(shows("Screen Saver Type: Visualization"));
  h.loop.Keys({kKeyEnter}).Then(shows("Screen Saver Type: Logo"));
  h.loop.Keys({kKeyUp}).Then([&] {  // refused on the first row
    EXPECT_EQ(h.TakeCues(), (std::vector<std::string>{kBeep, kBeep, kBeep, kError}));
  });
  // The timeout through the count dialog, from 1: four ones, then a ten.
  h.loop
      .Keys({kKeyDown, kKeyEnter, kKeyLeft, kKeyUp, kKeyUp, kKeyUp, kKeyUp, kKeyLeft, kKeyUp,
             kKeyRight, kKeyRight, kKeyEnter})
      .Then(shows("Screen Saver Timeout: 15 mins"));
  h.loop.Keys({kKeyDown, kKeyEnter}).Then([&] {
    EXPECT_EQ(h.HighlightedRow(), "Action on Corrupt Song: Stop Playing");
    h.TakeCues();
  });
  h.loop.Keys({kKeyEnter}).Then(shows("Action on Corrupt Song: Skip to Next Song"));
  h.loop.Keys({kKeyEnter, kKeyDown, kKeyDown}).Then([&] {  // Down refused past the last row
    EXPECT_EQ(h.TakeCues(), (std::vector<std::string>{kBeep, kBeep, kBeep, kError}));
    EXPECT_EQ(stored("Playlist", "ActionOnError"), 0);  // as the first Left saved it
  });
  h.loop.Keys({kKeyLeft}).Then([&] {
    EXPECT_EQ(h.jubo.screen.CurrentRow, 1);
    EXPECT_EQ(stored("Playlist", "ActionOnError"), 1);
    EXPECT_EQ(h.display.system_saver, (std::vector<bool>{false, false, false}));
  });
  h.loop.Keys({KeyOf('V'), kKeyEnter, kKeyEscape, kKeyRight, kKeyEnter});
  EXPECT_EQ(h.Run(), 0);
  EXPECT_EQ(stored("Screensaver", "Type"), 3);
  EXPECT_EQ(stored("Screensaver", "Timeout"), 15);
}

}  // namespace
}  // namespace screen
