#include <gtest/gtest.h>

#include "ground/keys.h"
#include "settings/key_tree.h"
#include "support/session.h"

namespace screen {
namespace {

using namespace ground;
using namespace jubo_test;
using settings::KeyPathOf;

const std::string kPlayer = "HKEY_CURRENT_USER\\Software\\Tarvento\\Jubo_Player\\";
const char* const kSchemes = "HKEY_CURRENT_USER\\AppEvents\\Schemes\\Apps\\Tarvento\\";

TEST(SettingsViewTest, EnterChangesTheSettingsInPlaceAndLeftOrTheExitSavesThem) {
  Harness h;
  settings::MemoryStore store;
  h.jubo.store = &store;
  // The harness's cue files, assigned where the program reads them.
  for (auto [event, file] :
       {std::pair{"KX_Beep", kBeep}, {"KX_Select", kSelect}, {"KX_Error", kError}}) {
    store.keys.Set(KeyPathOf(std::string(kSchemes) + event + "\\.current"), "",
                   {settings::REG_SZ, file, 0, {}});
  }
  store.keys.Set(KeyPathOf(kPlayer + "Screensaver"), "Type", {settings::REG_DWORD, "", 2, {}});
  store.keys.Set(KeyPathOf(kPlayer + "Screensaver"), "Timeout", {settings::REG_DWORD, "", 1, {}});
  // A device stored, and a Snapcast pipe named: the Audio Output row goes through them.
  h.player.devices.push_back(
      {"pulse/hdmi", "HDMI / DisplayPort 3 (HDA Intel PCH), the living-room TV"});
  const settings::KeyPath audio = KeyPathOf(kPlayer + "AudioOutput");
  store.keys.Set(audio, "Device", {settings::REG_SZ, "pulse/hdmi", 0, {}});
  store.keys.Set(audio, "SnapcastPipe", {settings::REG_SZ, "/run/snap", 0, {}});
  auto stored = [&store](const char* key, const char* name) {
    const settings::RegValue* value = store.keys.Find(KeyPathOf(kPlayer + key), name);
    return value == nullptr ? -1 : value->number;
  };
  Script(
      h,
      {
          {.keys = {kKeyDown, kKeyDown, kKeyDown, kKeyDown, kKeyEnter},
           .title = "Jubo Player Settings",
           .rows = {"Screen Saver Type: Logo", "Screen Saver Timeout: 1 min",
                    "Action on Corrupt Song: Skip to Next Song", "Exclusions for Non-Stop Music",
                    "Loudness: Automatic",
                    "Audio Output: HDMI / DisplayPort 3 (HDA Intel PCH), the living-r...",
                    "Phone Remote: Off", "Forget paired phones"},
           .check =
               [](Harness& h) {
                 EXPECT_FALSE(h.jubo.screen.frmMain.lblHelpAbove.visible);
                 EXPECT_EQ(h.player.device, "pulse/hdmi");  // applied at start
               }},
          {.keys = {kKeyLeft}, .highlighted = "Settings"},
          // V from two steps in: Settings under the Main Menu, whatever the path was.
          {.keys = {kKeyUp, kKeyUp, kKeyUp, kKeyUp, kKeyEnter, kKeyRight, KeyOf('V')},
           .crumbs = "Main Menu>"},
          {.keys = {kKeyEnter}, .highlighted = "Screen Saver Type: Blank Screen", .cues = {kBeep}},
          {.keys = {kKeyEnter}, .highlighted = "Screen Saver Type: Visualization", .cues = {kBeep}},
          // Up is refused on the first row.
          {.keys = {kKeyEnter, kKeyUp},
           .highlighted = "Screen Saver Type: Logo",
           .cues = {kBeep, kError}},
          // The timeout through the count dialog is the built program's test.
          {.keys = {kKeyDown, kKeyDown, kKeyEnter},
           .highlighted = "Action on Corrupt Song: Stop Playing"},
          // Down is refused past the last row; the setting is as the first Left saved it.
          {.keys = {kKeyEnter, kKeyEnter, kKeyDown, kKeyDown, kKeyEnter, kKeyDown, kKeyDown,
                    kKeyDown, kKeyDown},
           .cues = {kBeep, kBeep, kBeep, kBeep, kBeep, kBeep, kBeep, kBeep, kError},
           .check =
               [&](Harness& h) {
                 EXPECT_EQ(stored("Playlist", "ActionOnError"), 0);
                 EXPECT_EQ(h.Rows()[4], "Loudness: Album");
               }},
          {.keys = {kKeyUp, kKeyUp, kKeyEnter},
           .highlighted = "Audio Output: Snapcast (every room)",
           .check = [](Harness& h) { EXPECT_EQ(h.player.device, "snapcast:/run/snap"); }},
          {.keys = {kKeyLeft},
           .view = kViewMainMenu,
           .highlighted = "Select Songs by Album",
           .check =
               [&](Harness& h) {
                 EXPECT_EQ(stored("Playlist", "ActionOnError"), 1);
                 EXPECT_EQ(h.display.system_saver, (std::vector<bool>{false, false, false}));
                 EXPECT_EQ(store.keys.Find(audio, "Device")->text, "snapcast:/run/snap");
                 h.player.fixed_output = "pulse";
               }},
          // An output named from outside wins: the row says so, and Enter is refused.
          {.keys = {KeyOf('V'), kKeyDown, kKeyDown, kKeyDown, kKeyDown, kKeyDown, kKeyEnter,
                    kKeyLeft},
           .cues = {kBeep, kBeep, kBeep, kBeep, kBeep, kError, kBeep},
           .check =
               [](Harness& h) { EXPECT_EQ(h.jubo.settings.AudioDevice, "snapcast:/run/snap"); }},
      });
  h.loop.Keys({KeyOf('V'), kKeyEnter, kKeyEscape, kKeyRight, kKeyEnter});
  EXPECT_EQ(h.Run(), 0);
  EXPECT_EQ(stored("Screensaver", "Type"), 3);
}

}  // namespace
}  // namespace screen
