#include "app/key_dispatch.h"

#include <gtest/gtest.h>

#include "ground/keys.h"
#include "remote/messages.h"
#include "support/session.h"

namespace app {
namespace {

using namespace ground;
using namespace jubo_test;

// Escape asks; No leaves the screen as it was and Yes ends at once, as a window close or a signal
// does without asking, from inside the question too. The system's saver, kept off while Jubo
// runs, is switched back on.
TEST(KeyDispatchTest, EscapeAsksAndAWindowCloseOrSignalEndsWithoutAsking) {
  struct Case {
    const char* what;
    std::vector<int16_t> keys;
    bool quit, ends;  // quit: a window close or signal after the keys
  };
  const Case kCases[] = {
      {"Escape, then No", {kKeyEscape, kKeyEnter}, false, false},
      {"Escape, then Yes", {kKeyEscape, kKeyRight, kKeyEnter}, false, true},
      {"a window close", {}, true, true},
      {"a window close under the question", {kKeyEscape}, true, true},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    Harness h;
    h.jubo.settings.ScreensaverTimeout = 5;
    h.loop.Keys({kKeyDown, kKeyDown}).Then([&] { h.TakeCues(); }).Keys(c.keys);
    if (c.quit) h.loop.Quit();
    // Taken only when the program goes on.
    h.loop.Keys({kKeyDown}).Then([&] {
      EXPECT_EQ(h.HighlightedRow(), "Turn ON Non-Stop Music");
      EXPECT_EQ(h.display.top(), &h.jubo.screen.frmMain);
      // The question's cue, then No's and Down's.
      EXPECT_EQ(h.TakeCues(), (std::vector<std::string>{kSelect, kBeep, kBeep}));
    });
    h.program_may_end_first = c.ends;
    EXPECT_EQ(h.Run(), 0);
    EXPECT_EQ(h.jubo.ending, c.ends);
    EXPECT_EQ(h.loop.StepsLeft(), c.ends ? "key 40, check" : "");
    EXPECT_EQ(h.display.system_saver.back(), c.ends);
  }
}

// Without a timeout the saver never starts, A included (the idle count and the saver with one:
// the saver's tests). L switches repeat, and the status panel's switch line says so at once, its
// repeat half padded to fifteen characters; Non-Stop Music's half (switched on here) follows.
TEST(KeyDispatchTest, HotkeysAndTheIdleCount) {
  Harness h;
  Script(h, {
                {.keys = {KeyOf('A')}, .wait_ms = 600000, .view = screen::kViewMainMenu},
                {.keys = {KeyOf('L')},
                 .switches = "Repeat:ON      Non-Stop Music:OFF",
                 .check = [](Harness& h) { h.jubo.selection.NonStop = true; }},
                {.keys = {KeyOf('L')}, .switches = "Repeat:OFF     Non-Stop Music:ON"},
            });
  h.Run();
}

// The volume keys (the remote's names for them here) stop at 100 and 0 and reach the player; Mute
// keeps the level. The play state's line shows the level for two seconds, then the state again.
TEST(KeyDispatchTest, VolumeKeysStopAtTheEndsAndThePanelShowsTheLevelAWhile) {
  auto key = [](const char* name) { return remote::MessageNamed(name)->key; };
  auto player_has = [](int volume, bool muted) {
    return [=](Harness& h) { EXPECT_EQ(h.player.volume, std::pair(volume, muted)); };
  };
  Harness h;
  h.jubo.settings.Volume = 90;
  const std::vector<int16_t> up(3, key("volume+")), down(21, key("volume-"));
  Script(h, {
                {.keys = up, .state = "Volume: 100"},
                {.keys = {key("mute")}, .state = "Volume: Muted", .check = player_has(100, true)},
                {.keys = down, .wait_ms = 1990, .state = "Volume: 0"},
                {.wait_ms = 10, .state = "Stopped", .check = player_has(0, false)},
            });
  h.Run();
}

}  // namespace
}  // namespace app
