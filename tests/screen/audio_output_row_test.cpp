#include <gtest/gtest.h>

#include "ground/keys.h"
#include "settings/key_tree.h"
#include "support/session.h"

namespace screen {
namespace {

using namespace ground;
using namespace jubo_test;
using settings::KeyPathOf;

const std::string kAudioKey = "HKEY_CURRENT_USER\\Software\\Tarvento\\Jubo_Player\\AudioOutput";
const char* const kSchemes = "HKEY_CURRENT_USER\\AppEvents\\Schemes\\Apps\\Tarvento\\KX_";
const std::vector<int16_t> kToAudioRow = {KeyOf('V'), kKeyDown, kKeyDown, kKeyDown, kKeyDown};

struct Session {
  Harness h;
  settings::MemoryStore store;

  explicit Session(const std::string& device) {
    h.jubo.store = &store;
    h.player.devices.push_back(
        {"pulse/hdmi",
         "HDMI / DisplayPort 3 (HDA Intel PCH), the living-room TV through its receiver"});
    for (auto [event, file] : {std::pair{"Beep", kBeep}, {"Error", kError}}) {
      store.keys.Set(KeyPathOf(std::string(kSchemes) + event + "\\.current"), "",
                     {settings::REG_SZ, file, 0, {}});
    }
    store.keys.Set(KeyPathOf(kAudioKey), "Device", {settings::REG_SZ, device, 0, {}});
    store.keys.Set(KeyPathOf(kAudioKey), "SnapcastPipe", {settings::REG_SZ, "/run/snap", 0, {}});
  }
  std::string Stored() const {
    const settings::RegValue* value = store.keys.Find(KeyPathOf(kAudioKey), "Device");
    return value == nullptr ? "" : value->text;
  }
};

TEST(AudioOutputRowTest, EnterGoesThroughTheDevicesAndSnapcastAndLeftKeepsTheChoice) {
  Session s("pulse/hdmi");
  auto device = [&s](const std::string& name) {
    return [&s, name](Harness&) { EXPECT_EQ(s.h.player.device, name); };
  };
  Script(s.h,
         {
             // The stored device is applied at start, its description shortened to fit.
             {.keys = kToAudioRow,
              .highlighted = "Audio Output: HDMI / DisplayPort 3 (HDA Intel PCH), the living-r...",
              .check = device("pulse/hdmi")},
             {.keys = {kKeyEnter},
              .highlighted = "Audio Output: Snapcast (every room)",
              .cues = {kBeep},
              .check = device("snapcast:/run/snap")},
             {.keys = {kKeyEnter},
              .highlighted = "Audio Output: Autoselect device",
              .check = device("auto")},
             {.keys = {kKeyEnter, kKeyEnter, kKeyLeft},
              .check = [&s](Harness&) { EXPECT_EQ(s.Stored(), "snapcast:/run/snap"); }},
         });
  s.h.loop.Keys({kKeyEscape, kKeyRight, kKeyEnter});
  EXPECT_EQ(s.h.Run(), 0);
}

TEST(AudioOutputRowTest, AnOutputNamedFromOutsideWinsAndItsFailureIsNamed) {
  Session s("pulse/hdmi");
  s.h.player.fixed_output = "snapcast:/tmp/none";
  s.h.player.failing_output = "snapcast:/tmp/none";
  Script(s.h, {
                  {.keys = kToAudioRow,
                   .highlighted = "Audio Output: snapcast:/tmp/none (set by JUBO_AUDIO_OUTPUT)"},
                  {.keys = {kKeyEnter},
                   .highlighted = "Audio Output: snapcast:/tmp/none (set by JUBO_AUDIO_OUTPUT)",
                   .cues = {kError},
                   .check = [](Harness& h) { EXPECT_EQ(h.player.device, "auto"); }},
                  {.keys = {kKeyLeft}},
              });
  s.h.loop.Then([&s] { s.h.AddSongs(1); });
  s.h.loop.Wait(100);
  s.h.loop.Then([&s] {
    EXPECT_EQ(s.h.jubo.screen.frmMain.lblState.caption, "No sound: cannot open");
    EXPECT_EQ(s.Stored(), "pulse/hdmi");
  });
  s.h.loop.Keys({kKeyEscape, kKeyRight, kKeyEnter});
  EXPECT_EQ(s.h.Run(), 0);
}

}  // namespace
}  // namespace screen
