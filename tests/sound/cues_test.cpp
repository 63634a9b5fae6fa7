#include "sound/cues.h"

#include <gtest/gtest.h>

#include "app/jubo.h"
#include "support/fake_event_loop.h"
#include "support/fakes.h"

namespace sound {
namespace {

TEST(CuesTest, SilentWhilePlayingAndForEmptyNames) {
  jubo_test::FakeWavePlayer waves;
  jubo_test::FakeEventLoop loop;
  jubo_test::FakeMediaPlayer player(loop);
  app::Jubo jubo;
  jubo.waves = &waves;
  PlayCue(jubo, "beep.wav");  // no player yet: not playing
  jubo.player = &player;
  const int kStates[] = {playback::kStopped, playback::kPaused, playback::kPlaying,
                         playback::kFastForward, playback::kReady};
  for (int state : kStates) {
    player.state = state;
    PlayCue(jubo, "beep.wav");
  }
  PlayCue(jubo, "");
  // Only playing silences cues: paused, stopped and fast-forwarding do not.
  EXPECT_EQ(waves.played, std::vector<std::string>(5, "beep.wav"));
}

TEST(CuesTest, AFileThatCannotBePlayedIsReportedOnce) {
  jubo_test::FakeWavePlayer waves;
  waves.unplayable = {"broken.wav"};
  app::Jubo jubo;
  jubo.waves = &waves;
  testing::internal::CaptureStderr();
  for (int i = 0; i < 3; ++i) PlayCue(jubo, "broken.wav");
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "jubo: cannot play the sound broken.wav: not a sound file\n");
  EXPECT_TRUE(waves.played.empty());
}

}  // namespace
}  // namespace sound
