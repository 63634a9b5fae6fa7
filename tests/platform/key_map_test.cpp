#include "platform/key_map.h"

#include <gtest/gtest.h>

#include <vector>

namespace platform {
namespace {

TEST(KeyMapTest, KeysTheProgramHearsAndTheRestIgnored) {
  struct Case {
    const char* sdl_name;
    int16_t code;
  };
  std::vector<Case> cases = {
      {"Return", 13},
      {"Keypad Enter", 13},
      {"Escape", 27},
      {"PageUp", 33},
      {"PageDown", 34},
      {"Left", 37},
      {"Up", 38},
      {"Right", 39},
      {"Down", 40},
      {"A", 65},
      {"M", 77},
      {"Z", 90},
      {"AudioPlay", 'P'},
      {"AudioStop", 'S'},
      {"AudioNext", 'N'},
      {"AudioPrev", 'B'},
      {"AudioFastForward", 'F'},
      {"AudioRewind", 'R'},
      {"AC Back", 37},
      {"AC Home", 'M'},
  };
  for (const char* ignored : {"0", "5", "9", "Keypad 8", "Space", "Tab", "Backspace", "F1", "Home",
                              "End", "Left Shift", "Delete", "AudioMute", "-", "Keypad +"}) {
    cases.push_back({ignored, 0});
  }
  for (const Case& c : cases) {
    const int32_t sdl_key = SdlKeycodeNamed(c.sdl_name);
    ASSERT_NE(sdl_key, 0) << "SDL knows no key named " << c.sdl_name;
    EXPECT_EQ(ProgramKeyCode(sdl_key), c.code) << c.sdl_name;
  }
}

}  // namespace
}  // namespace platform
