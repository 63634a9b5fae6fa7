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
      int32_t answer = -1;
      int idle = -1;  // when it closed
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

// The player's events go on under a question: a song that cannot be played shows "Could not
// play" over it, and closing that gives the question back, still open.
TEST(ModalTest, ASongThatFailsUnderAQuestionIsToldOverIt) {
  Harness h;
  h.player.default_length = 2;
  h.player.unplayable = {h.songs[1].filename};
  h.jubo.settings.ActionOnError = 1;
  auto shows = [&h](std::vector<std::string> lines) {
    return [&h, lines] {
      EXPECT_EQ(h.Dialog().lines, lines);
      EXPECT_TRUE(h.jubo.DialogOpen);
    };
  };
  h.loop.Then([&] { h.AddSongs(3); }).Wait(1000);
  h.loop.Keys({KeyOf('X')}).Then(shows({"Shuffle", "Playlist?"}));
  h.loop.Wait(2000).Then(shows({"Could not play", "Song 2"}));
  h.loop.Keys({kKeyEnter}).Then(shows({"Shuffle", "Playlist?"}));
  h.loop.Keys({kKeyEnter}).Then([&] {
    EXPECT_FALSE(h.jubo.DialogOpen);
    EXPECT_EQ(h.display.top(), &h.jubo.screen.frmMain);
    EXPECT_EQ(h.jubo.playlist.CurrentSong, 1);  // resting on the song that failed
  });
  h.Run();
}

}  // namespace
}  // namespace dialogs
