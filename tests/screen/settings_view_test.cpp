#include <gtest/gtest.h>

#include "ground/keys.h"
#include "settings/key_tree.h"
#include "support/harness.h"

namespace screen {
namespace {

using ground::KeyOf;
using ground::kKeyDown;
using ground::kKeyEnter;
using ground::kKeyEscape;
using ground::kKeyLeft;
using ground::kKeyRight;
using ground::kKeyUp;
using jubo_test::Harness;
using jubo_test::kBeep;
using jubo_test::kError;
using settings::KeyPathOf;

const settings::KeyPath kScreensaver =
    KeyPathOf("HKEY_CURRENT_USER\\Software\\Tarvento\\Jubo_Player\\Screensaver");
const settings::KeyPath kPlaylist =
    KeyPathOf("HKEY_CURRENT_USER\\Software\\Tarvento\\Jubo_Player\\Playlist");

// The program loads its settings from `store`, where the harness's cue files are assigned.
void UseStore(Harness& h, settings::MemoryStore& store) {
  for (auto [event, file] : {std::pair{"KX_Beep", jubo_test::kBeep},
                             {"KX_Select", jubo_test::kSelect},
                             {"KX_Error", kError}}) {
    store.keys.Set(
        KeyPathOf(std::string("HKEY_CURRENT_USER\\AppEvents\\Schemes\\Apps\\Tarvento\\") + event +
                  "\\.current"),
        "", {settings::REG_SZ, file, 0, {}});
  }
  h.jubo.store = &store;
}

// A stored number; -1 when there is none.
int32_t Stored(const settings::MemoryStore& store, const settings::KeyPath& key, const char* name) {
  const settings::RegValue* value = store.keys.Find(key, name);
  return value == nullptr ? -1 : value->number;
}

TEST(SettingsViewTest, VShowsTheSettingsEnterChangesThemAndLeftSavesThem) {
  Harness h;
  settings::MemoryStore store;
  store.keys.Set(kScreensaver, "Type", {settings::REG_DWORD, "", 2, {}});
  UseStore(h, store);
  // From the letter index, two steps in.
  h.loop.Keys({kKeyEnter, kKeyRight, KeyOf('V')}).Then([&] {
    EXPECT_EQ(h.jubo.screen.CurrentView, kViewSettings);
    EXPECT_EQ(h.jubo.screen.frmMain.lblCrumbs.caption, "Main Menu>");
    EXPECT_EQ(h.jubo.screen.frmMain.lblTitle.caption, "Jubo Player Settings");
    std::vector<std::string> rows = {
        "Screen Saver Type: Logo", "Screen Saver Timeout: 0 mins (disabled)",
        "Action on Corrupt Song: Skip to Next Song", "Exclusions for Non-Stop Music"};
    rows.resize(14);
    EXPECT_EQ(h.Rows(), rows);
    EXPECT_EQ(h.HighlightedRow(), rows[0]);
    EXPECT_FALSE(h.jubo.screen.frmMain.lblHelpAbove.visible);
    EXPECT_EQ(h.jubo.screen.frmMain.lblHelpBelow.caption,
              "[Left = Back] [Up/Down = Scroll] [Enter/OK = Change Value]");
    h.TakeCues();
  });
  auto shows = [&h](const std::string& caption) {
    return [&h, caption] { EXPECT_EQ(h.HighlightedRow(), caption); };
  };
  h.loop.Keys({kKeyEnter}).Then(shows("Screen Saver Type: Blank Screen"));
  h.loop.Keys({kKeyEnter}).Then(shows("Screen Saver Type: Visualization"));
  h.loop.Keys({kKeyEnter}).Then(shows("Screen Saver Type: Logo"));
  // Up on the first row and Down past the last are refused, and so is the timeout while it
  // has no dialog to ask for the number.
  h.loop.Keys({kKeyUp, kKeyDown, kKeyEnter, kKeyDown, kKeyEnter})
      .Then(shows("Action on Corrupt Song: Stop Playing"));
  h.loop.Keys({kKeyEnter}).Then(shows("Action on Corrupt Song: Skip to Next Song"));
  h.loop.Keys({kKeyEnter, kKeyDown, kKeyDown}).Then([&] {
    EXPECT_EQ(h.jubo.screen.CurrentRow, 4);
    EXPECT_EQ(h.TakeCues(), (std::vector<std::string>{kBeep, kBeep, kBeep, kError, kBeep, kError,
                                                      kBeep, kBeep, kBeep, kBeep, kBeep, kError}));
    EXPECT_EQ(Stored(store, kPlaylist, "ActionOnError"), -1);  // nothing saved before Left
  });
  h.loop.Keys({kKeyLeft}).Then([&] {
    EXPECT_EQ(h.jubo.screen.CurrentView, kViewMainMenu);
    EXPECT_EQ(h.jubo.screen.CurrentRow, 1);
    EXPECT_EQ(Stored(store, kPlaylist, "ActionOnError"), 1);
    EXPECT_EQ(Stored(store, kScreensaver, "Type"), 2);
    EXPECT_EQ(h.jubo.settings.ConfiguredSaverType, 2);
    EXPECT_EQ(h.display.system_saver.back(), true);  // no saver of our own: the system's may run
  });
  h.Run();
}

TEST(SettingsViewTest, LeftReturnsToTheMenuRowAndAConfirmedExitSavesToo) {
  Harness h;
  settings::MemoryStore store;
  store.keys.Set(kScreensaver, "Timeout", {settings::REG_DWORD, "", 1, {}});
  UseStore(h, store);
  h.loop.Keys(kKeyDown, 4).Keys({kKeyEnter}).Then([&] {
    EXPECT_EQ(h.Rows()[1], "Screen Saver Timeout: 1 min");
  });
  h.loop.Keys({kKeyLeft}).Then([&] {
    EXPECT_EQ(h.HighlightedRow(), "Settings");
    EXPECT_EQ(h.display.system_saver, (std::vector<bool>{false, false}));
  });
  h.loop.Keys({KeyOf('V'), kKeyEnter, kKeyEscape, kKeyRight, kKeyEnter});
  EXPECT_EQ(h.Run(), 0);
  EXPECT_EQ(Stored(store, kScreensaver, "Type"), 2);
}

}  // namespace
}  // namespace screen
