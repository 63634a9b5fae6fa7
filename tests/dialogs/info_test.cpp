#include "dialogs/info.h"

#include <gtest/gtest.h>

#include "ground/keys.h"
#include "support/harness.h"

namespace dialogs {
namespace {

using namespace ground;

// The player's events go on under a question: a song that cannot be played is told over it
// ("Could not play"). Only Enter closes that, its one button marked, the keys it ignores making
// no sound; the question is then given back, still open.
TEST(InfoTest, ASongThatFailsUnderAQuestionIsToldOverItAndOnlyEnterClosesIt) {
  jubo_test::Harness h;
  h.player.default_length = 2;
  h.player.unplayable = {h.songs[1].filename};
  h.jubo.settings.ActionOnError = 1;
  h.loop.Then([&] { h.AddSongs(3); }).Wait(1000);
  h.loop.Keys({KeyOf('X')}).Then([&] { EXPECT_EQ(h.Dialog().form, "frmConfirm"); });
  h.loop.Wait(2000).Then([&] {
    EXPECT_EQ(h.Dialog().form, "frmInfo");
    EXPECT_EQ(h.Dialog().buttons, std::vector<std::string>{"OK"});
    EXPECT_EQ(h.Dialog().selected, 1);
    h.TakeCues();
  });
  h.loop.Keys({kKeyEscape, kKeyLeft, kKeyRight, kKeyUp, kKeyDown, KeyOf('M')}).Then([&] {
    EXPECT_EQ(h.Dialog().lines, (std::vector<std::string>{"Could not play", "Song 2"}));
    EXPECT_TRUE(h.TakeCues().empty());
  });
  h.loop.Keys({kKeyEnter}).Then([&] {
    EXPECT_EQ(h.Dialog().lines, (std::vector<std::string>{"Shuffle", "Playlist?"}));
    EXPECT_TRUE(h.jubo.DialogOpen);  // the question's, given back
    EXPECT_EQ(h.TakeCues(), std::vector<std::string>{jubo_test::kBeep});
  });
  h.loop.Keys({kKeyEnter}).Then([&] {
    EXPECT_FALSE(h.jubo.DialogOpen);
    EXPECT_EQ(h.display.top(), &h.jubo.screen.frmMain);
    EXPECT_EQ(h.jubo.playlist.CurrentSong, 1);  // resting on the song that failed
  });
  h.Run();
}

}  // namespace
}  // namespace dialogs
